# Limit evaluation: pure, so it runs natively with the sanitizers and, cheaply,
# under Wine against the Windows runtime's local-time conversion.
if(WIN32)
  hv_wine_test(evaluation_test SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/tests/evaluation_test.cpp
               LIBS limiter_logic TIMEOUT 60)
else()
  hv_host_test(evaluation_host_test SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/tests/evaluation_test.cpp
               LIBS limiter_logic)
endif()
