# Monitor window: its pure decisions natively with the sanitizers, the window
# and the jump list end to end under Wine with the real limiter.
if(WIN32)
  hv_wine_test(monitor_logic_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/monitor_logic_test.cpp
               LIBS limiter_logic TIMEOUT 60)
else()
  hv_host_test(monitor_logic_host_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/monitor_logic_test.cpp LIBS limiter_logic)
endif()
