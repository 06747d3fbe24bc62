# Limit evaluation: pure, so it runs natively with the sanitizers and, cheaply,
# under Wine against the Windows runtime's local-time conversion.
# The session's zone moved under a test (session_zone.h), also for the service's.
add_library(limiter_test_headers INTERFACE)
target_include_directories(limiter_test_headers INTERFACE ${CMAKE_CURRENT_SOURCE_DIR}/tests)
if(WIN32)
  hv_wine_test(evaluation_test SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/tests/evaluation_test.cpp
               LIBS limiter_logic limiter_test_headers TIMEOUT 60)
else()
  hv_host_test(evaluation_host_test SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/tests/evaluation_test.cpp
               LIBS limiter_logic limiter_test_headers)
endif()
