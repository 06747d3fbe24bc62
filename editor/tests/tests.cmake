# Tests of the settings utility.
set(_dir ${CMAKE_CURRENT_SOURCE_DIR}/tests)
if(WIN32)
  hv_wine_test(editor_logic_test SOURCES ${_dir}/editor_logic_test.cpp LIBS editor_logic editor_texts TIMEOUT 60)
else()
  hv_host_test(editor_logic_host_test SOURCES ${_dir}/editor_logic_test.cpp LIBS editor_logic editor_texts)
endif()
