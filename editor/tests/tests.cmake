# Tests of the settings utility.
set(_dir ${CMAKE_CURRENT_SOURCE_DIR}/tests)
set(_logic_tests ${_dir}/editor_logic_test.cpp ${_dir}/upgrade_logic_test.cpp ${_dir}/schedule_logic_test.cpp)
if(WIN32)
  hv_wine_test(editor_logic_test SOURCES ${_logic_tests} LIBS editor_logic editor_texts cfw_password_hash TIMEOUT 60)
else()
  hv_host_test(editor_logic_host_test SOURCES ${_logic_tests} LIBS editor_logic editor_texts cfw_password_hash)

  # libFuzzer on the upgrade's reading of the old files needs clang; without
  # it the table of cases above still runs. The corpus is replayed by every
  # host test run (files given, libFuzzer runs each once and stops).
  find_program(HV_CLANGXX NAMES clang++ clang++-14)
  if(HV_CLANGXX)
    set(_fuzz ${CMAKE_CURRENT_BINARY_DIR}/upgrade_fuzz)
    set(_fuzz_sources ${_dir}/upgrade_fuzz.cpp ${CMAKE_CURRENT_SOURCE_DIR}/upgrade_logic.cpp)
    get_target_property(_store_dir cfw_store_headers INTERFACE_INCLUDE_DIRECTORIES)
    get_target_property(_shared_dir hv_shared_logic INTERFACE_INCLUDE_DIRECTORIES)
    add_custom_command(OUTPUT ${_fuzz}
      COMMAND ${HV_CLANGXX} -std=c++17 -g -O1 -Wall -Wextra
              -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all
              -I${CMAKE_CURRENT_SOURCE_DIR} -I${_store_dir} -I${_shared_dir} ${_fuzz_sources} -o ${_fuzz}
      DEPENDS ${_fuzz_sources} ${CMAKE_CURRENT_SOURCE_DIR}/upgrade_logic.h ${CMAKE_CURRENT_SOURCE_DIR}/resource.h
      COMMENT "Building the settings upgrade's fuzz target with clang"
      VERBATIM)
    add_custom_target(editor_upgrade_fuzz ALL DEPENDS ${_fuzz})
    file(GLOB _corpus CONFIGURE_DEPENDS ${_dir}/upgrade_corpus/*)
    add_test(NAME editor_upgrade_fuzz_replay COMMAND ${_fuzz} ${_corpus})
    set_tests_properties(editor_upgrade_fuzz_replay PROPERTIES TIMEOUT 120)
  endif()
endif()

# The real cfwEdit.exe under Wine (with the limiter for Apply).
if(WIN32)
  add_library(editor_fixture STATIC ${_dir}/editor_fixture.cpp)
  target_link_libraries(editor_fixture PUBLIC limiter_fixture)
  target_include_directories(editor_fixture PUBLIC ${_dir})
  hv_test_program(editor_service_standin SOURCES ${_dir}/service_standin.cpp LIBS hv_headers advapi32)
  foreach(t main_window options wizard upgrade)
    hv_wine_test(editor_${t}_e2e_test SOURCES ${_dir}/${t}_e2e_test.cpp
                 LIBS editor_fixture editor_texts editor_logic
                 DEPENDS cfwEdit hvCurfew cfwHelper editor_service_standin XVFB TIMEOUT 240)
    target_include_directories(editor_${t}_e2e_test PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
  endforeach()
  target_link_libraries(editor_upgrade_e2e_test PRIVATE shell32)
  # The zone line and the zone recorded with the option record.
  hv_wine_test(editor_zone_e2e_test SOURCES ${_dir}/zone_e2e_test.cpp
               LIBS editor_fixture editor_texts editor_logic hv_shared
               DEPENDS cfwEdit hvCurfew cfwHelper XVFB TIMEOUT 180)
  target_include_directories(editor_zone_e2e_test PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
  foreach(t registration schedule)
    hv_wine_test(editor_${t}_e2e_test SOURCES ${_dir}/${t}_e2e_test.cpp
                 LIBS editor_fixture editor_texts DEPENDS cfwEdit XVFB TIMEOUT 300)
    target_include_directories(editor_${t}_e2e_test PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
  endforeach()
  # The whole path from registering to the limiter's countdown, on the fake clock.
  hv_wine_test(editor_admin_path_e2e_test SOURCES ${_dir}/admin_path_e2e_test.cpp
               LIBS editor_fixture DEPENDS cfwEdit hvCurfew cfwHelper XVFB FAKE_CLOCK TIMEOUT 300)
  target_include_directories(editor_admin_path_e2e_test PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
endif()

# Dialogs 513, 514 and 515 built into a test program with the utility's
# resources, since Wine's account never meets the refusals in the real one.
if(WIN32)
  hv_wine_test(editor_admission_dialogs_test
    SOURCES ${_dir}/admission_dialogs_test.cpp
      ${CMAKE_CURRENT_SOURCE_DIR}/admission_dialogs.cpp
      ${CMAKE_CURRENT_SOURCE_DIR}/progress_window.cpp
      ${CMAKE_CURRENT_SOURCE_DIR}/editor_state.cpp
      ${CMAKE_CURRENT_SOURCE_DIR}/cfwEdit.rc
    LIBS editor_logic hv_shared e2e comctl32 shell32
    DEPENDS hv_art XVFB TIMEOUT 90)
  target_include_directories(editor_admission_dialogs_test PRIVATE ${CMAKE_CURRENT_SOURCE_DIR} ${HV_ART_DIR}/..)
endif()

# The hand-run refresh benchmark's probe (editor/bench/refresh_bench.sh).
if(WIN32)
  hv_test_program(refresh_bench_probe SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/bench/refresh_bench_probe.cpp
                  LIBS e2e cfwCommon hv_headers DEPENDS cfwEdit)
endif()
