# Monitor window: its pure decisions natively with the sanitizers, the window
# and the jump list end to end under Wine with the real limiter.
if(WIN32)
  hv_wine_test(monitor_logic_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/monitor_logic_test.cpp
               LIBS limiter_logic limiter_texts TIMEOUT 60)
  hv_wine_test(monitor_e2e_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/monitor_e2e_test.cpp
               LIBS limiter_fixture DEPENDS hvCurfew XVFB FAKE_CLOCK TIMEOUT 240)
  # The jump list's links, checked with the platform's shell link objects.
  # The task titles come from the limiter's string table, built into the test.
  hv_wine_test(monitor_jumplist_test
               SOURCES ${CMAKE_CURRENT_LIST_DIR}/monitor_jumplist_test.cpp ${CMAKE_CURRENT_SOURCE_DIR}/jumplist.cpp
                       ${CMAKE_CURRENT_LIST_DIR}/strings_test.rc
               LIBS limiter_logic hv_shared ole32 shell32 uuid TIMEOUT 60)
  set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/strings_test.rc PROPERTIES OBJECT_DEPENDS "${limiter_rc_parts}")
  # A refresh with 1,000 registered accounts against "reg query" of the same key.
  hv_wine_test(monitor_refresh_cost_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/monitor_refresh_cost_test.cpp
               LIBS limiter_fixture DEPENDS hvCurfew TIMEOUT 300)
else()
  hv_host_test(monitor_logic_host_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/monitor_logic_test.cpp
               LIBS limiter_logic limiter_texts)
endif()
