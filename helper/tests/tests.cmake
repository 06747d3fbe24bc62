# The watch decisions natively; the program itself under Wine, with the real
# limiter and with a stand-in limiter in a folder of its own.
if(WIN32)
  hv_test_program(limiter_standin SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/tests/limiter_standin.cpp LIBS hv_headers GUI)
  hv_wine_test(helper_test SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/tests/helper_test.cpp
               LIBS e2e hv_headers DEPENDS cfwHelper hvCurfew limiter_standin TIMEOUT 120)
else()
  hv_host_test(helper_logic_host_test SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/tests/helper_logic_test.cpp
               LIBS helper_logic)
endif()
