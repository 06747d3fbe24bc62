# The time-out sequence and the limiter/helper pair, end to end under Wine
# with the real hvCurfew.exe and cfwHelper.exe.
if(WIN32)
  set(timeout_dir ${CMAKE_CURRENT_LIST_DIR})

  hv_wine_test(timeout_countdown SOURCES ${timeout_dir}/timeout_countdown_test.cpp
               LIBS limiter_fixture comctl32 DEPENDS hvCurfew cfwHelper XVFB FAKE_CLOCK TIMEOUT 120)

  hv_wine_test(timeout_kill_loop SOURCES ${timeout_dir}/timeout_kill_loop_test.cpp
               LIBS limiter_fixture DEPENDS hvCurfew cfwHelper FAKE_CLOCK TIMEOUT 240)

  # The time-out in the zone recorded with the settings, the session's zone moved.
  hv_wine_test(limiter_zone_e2e SOURCES ${timeout_dir}/zone_e2e_test.cpp
               LIBS limiter_fixture DEPENDS hvCurfew cfwHelper FAKE_CLOCK TIMEOUT 150)

  # The exit call ends the Wine session it runs in, so it is judged from the
  # Linux side: a script runs a probe program once per time-out action.
  hv_test_program(timeout_exit_probe SOURCES ${timeout_dir}/timeout_exit_probe.cpp
                  LIBS limiter_fixture DEPENDS hvCurfew cfwHelper)
  add_test(NAME timeout_exit_flags
           COMMAND bash ${timeout_dir}/timeout_exit_flags.sh ${CMAKE_SOURCE_DIR}/scripts/wine-run.sh
                   ${CMAKE_BINARY_DIR}/wine/base ${HV_BIN_DIR} $<TARGET_FILE:timeout_exit_probe>
                   ${CMAKE_BINARY_DIR}/artifacts)
  set_tests_properties(timeout_exit_flags PROPERTIES TIMEOUT 480)

  # For timeout_idle_cost.sh, a benchmark run by hand (not a test): the probe
  # and the floor program it compares the limiter with.
  hv_test_program(timeout_idle_floor SOURCES ${timeout_dir}/timeout_idle_floor.cpp LIBS shell32 GUI)
  hv_test_program(timeout_idle_probe SOURCES ${timeout_dir}/timeout_idle_probe.cpp
                  LIBS limiter_fixture DEPENDS hvCurfew cfwHelper timeout_idle_floor)
endif()
