# Tests of the settings utility.
set(_dir ${CMAKE_CURRENT_SOURCE_DIR}/tests)
if(WIN32)
  hv_wine_test(editor_logic_test SOURCES ${_dir}/editor_logic_test.cpp LIBS editor_logic editor_texts TIMEOUT 60)
else()
  hv_host_test(editor_logic_host_test SOURCES ${_dir}/editor_logic_test.cpp LIBS editor_logic editor_texts)
endif()

# The real cfwEdit.exe under Wine (with the limiter for Apply).
if(WIN32)
  add_library(editor_fixture STATIC ${_dir}/editor_fixture.cpp)
  target_link_libraries(editor_fixture PUBLIC limiter_fixture)
  target_include_directories(editor_fixture PUBLIC ${_dir})
  hv_test_program(editor_service_standin SOURCES ${_dir}/service_standin.cpp LIBS hv_headers advapi32)
  foreach(t main_window options wizard)
    hv_wine_test(editor_${t}_e2e_test SOURCES ${_dir}/${t}_e2e_test.cpp
                 LIBS editor_fixture editor_texts editor_logic
                 DEPENDS cfwEdit hvCurfew cfwHelper editor_service_standin XVFB TIMEOUT 240)
    target_include_directories(editor_${t}_e2e_test PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
  endforeach()
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
