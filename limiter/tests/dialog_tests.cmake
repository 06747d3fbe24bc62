# The password prompt, the information and About dialogs and the shell helpers.
set(_dir ${CMAKE_CURRENT_SOURCE_DIR}/tests)
if(WIN32)
  hv_test_program(dialog_standin SOURCES ${_dir}/dialog_standin.cpp GUI)

  # The dialogs are built into the test program itself and driven from a
  # second thread, so no other part of the limiter has to run.
  hv_wine_test(dialog_test
    SOURCES
      ${_dir}/dialog_test.cpp
      ${_dir}/dialog_logic_test.cpp
      ${_dir}/dialog_test.rc
      shared_row.cpp
      userinfo_dialog.cpp
      limiter_state.cpp
    LIBS limiter_logic limiter_texts hv_shared e2e comctl32 shell32 netapi32
    DEPENDS dialog_standin hv_art
    XVFB FAKE_CLOCK TIMEOUT 120)
  target_include_directories(dialog_test PRIVATE ${CMAKE_CURRENT_SOURCE_DIR} ${HV_ART_DIR}/..)
  set_source_files_properties(${_dir}/dialog_test.rc PROPERTIES OBJECT_DEPENDS
    "${limiter_rc_parts};${CMAKE_CURRENT_SOURCE_DIR}/resource.h")

  # The HTML Help loader with a registered stand-in module, in a program of
  # its own since the loaded module stays for the life of the process.
  add_library(htmlhelp_standin SHARED ${_dir}/htmlhelp_standin.cpp ${_dir}/htmlhelp_standin.def)
  set_target_properties(htmlhelp_standin PROPERTIES PREFIX "" RUNTIME_OUTPUT_DIRECTORY ${HV_TEST_DIR})
  hv_wine_test(htmlhelp_loader_test
    SOURCES ${_dir}/htmlhelp_loader_test.cpp
    LIBS limiter_logic hv_shared
    DEPENDS htmlhelp_standin
    TIMEOUT 60)
else()
  hv_host_test(dialog_logic_host_test SOURCES ${_dir}/dialog_logic_test.cpp LIBS limiter_logic limiter_texts)
endif()

# The same dialogs inside the real limiter (its shared fixture comes from the
# start-up tests).
if(WIN32 AND TARGET limiter_fixture)
  hv_wine_test(dialog_e2e_test SOURCES ${_dir}/dialog_e2e_test.cpp
               LIBS limiter_fixture DEPENDS hvCurfew cfwHelper XVFB TIMEOUT 180)
endif()
