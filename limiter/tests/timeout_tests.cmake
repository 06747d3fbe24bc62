# The time-out sequence and the limiter/helper pair, end to end under Wine
# with the real hvCurfew.exe and cfwHelper.exe.
if(WIN32)
  set(timeout_dir ${CMAKE_CURRENT_LIST_DIR})

  hv_wine_test(timeout_countdown SOURCES ${timeout_dir}/timeout_countdown_test.cpp
               LIBS e2e cfwCommon comctl32 DEPENDS hvCurfew cfwHelper XVFB FAKE_CLOCK TIMEOUT 120)
  target_include_directories(timeout_countdown PRIVATE ${CMAKE_SOURCE_DIR}/store)

  hv_wine_test(timeout_kill_loop SOURCES ${timeout_dir}/timeout_kill_loop_test.cpp
               LIBS e2e cfwCommon DEPENDS hvCurfew cfwHelper FAKE_CLOCK TIMEOUT 240)
  target_include_directories(timeout_kill_loop PRIVATE ${CMAKE_SOURCE_DIR}/store)

  # The exit call ends the Wine session it runs in, so it is judged from the
  # Linux side: a script runs a probe program once per time-out action.
  add_executable(timeout_exit_probe ${timeout_dir}/timeout_exit_probe.cpp)
  set_target_properties(timeout_exit_probe PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${HV_TEST_DIR})
  target_link_options(timeout_exit_probe PRIVATE -municode)
  target_link_libraries(timeout_exit_probe PRIVATE e2e cfwCommon)
  target_include_directories(timeout_exit_probe PRIVATE ${CMAKE_SOURCE_DIR}/store)
  add_dependencies(timeout_exit_probe hvCurfew cfwHelper)
  add_test(NAME timeout_exit_flags
           COMMAND bash ${timeout_dir}/timeout_exit_flags.sh ${CMAKE_SOURCE_DIR}/scripts/wine-run.sh
                   ${CMAKE_BINARY_DIR}/wine/base ${HV_BIN_DIR} $<TARGET_FILE:timeout_exit_probe>
                   ${CMAKE_BINARY_DIR}/artifacts)
  set_tests_properties(timeout_exit_flags PROPERTIES TIMEOUT 480)
endif()

# For timeout_idle_cost.sh, a benchmark run by hand (not a test): the probe
# and the floor program it compares the limiter with.
if(WIN32)
  add_executable(timeout_idle_probe ${CMAKE_CURRENT_LIST_DIR}/timeout_idle_probe.cpp)
  set_target_properties(timeout_idle_probe PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${HV_TEST_DIR})
  target_link_options(timeout_idle_probe PRIVATE -municode)
  target_link_libraries(timeout_idle_probe PRIVATE e2e cfwCommon)
  target_include_directories(timeout_idle_probe PRIVATE ${CMAKE_SOURCE_DIR}/store)
  add_dependencies(timeout_idle_probe hvCurfew cfwHelper timeout_idle_floor)
  add_executable(timeout_idle_floor ${CMAKE_CURRENT_LIST_DIR}/timeout_idle_floor.cpp)
  set_target_properties(timeout_idle_floor PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${HV_TEST_DIR})
  target_link_options(timeout_idle_floor PRIVATE -municode -mwindows)
  target_link_libraries(timeout_idle_floor PRIVATE shell32)
endif()
