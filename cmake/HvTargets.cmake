# Build conventions shared by every component.
#
#   hv_dll(NAME SOURCES ... [DEF file] [LIBS ...])       Windows DLL, no "lib" prefix
#   hv_program(NAME SOURCES ... [LIBS ...] [CONSOLE])   Windows program (GUI unless CONSOLE)
#   hv_wine_test(NAME SOURCES ... [LIBS ...] [XVFB] [FAKE_CLOCK] [TIMEOUT s] [NO_GTEST_MAIN])
#                                                        GoogleTest program run under Wine;
#                                                        FAKE_CLOCK lets it set the clock of
#                                                        itself and its children (e2e::SetFakeClock)
#   hv_host_test(NAME SOURCES ... [LIBS ...])            GoogleTest program run natively
#   hv_test_program(NAME SOURCES ... [LIBS ...] [DEPENDS ...] [GUI])
#                                                        a probe or stand-in that tests start,
#                                                        built into the test-bin folder
#   hv_text_table(NAME FUNCTION ns::Fn HEADERS ... SCRIPTS ...)
#                                                        library with std::wstring Fn(unsigned id)
#                                                        over the string tables of SCRIPTS, for
#                                                        code that runs without the resources
#
# Sources that include no Windows header are built in both trees; everything
# else only when WIN32 is set (the win64 preset).

option(HV_SANITIZE "Build the host tree with AddressSanitizer and UBSan" OFF)

add_compile_options(-Wall -Wextra)

if(WIN32)
  enable_language(RC)
  set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -c 65001")
  add_compile_definitions(UNICODE _UNICODE NOMINMAX _WIN32_WINNT=0x0A00 WINVER=0x0A00 _WIN32_IE=0x0A00)
  # A static runtime: no binary imports libstdc++, libgcc_s or libwinpthread.
  add_link_options(-static)
  set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
  set(CMAKE_LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
  set(CMAKE_ARCHIVE_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/lib)
  set(HV_BIN_DIR ${CMAKE_BINARY_DIR}/bin)
  set(HV_TEST_DIR ${CMAKE_BINARY_DIR}/test-bin)
  set(CMAKE_CROSSCOMPILING_EMULATOR
      ${CMAKE_SOURCE_DIR}/scripts/wine-run.sh --base ${CMAKE_BINARY_DIR}/wine/base --bin ${HV_BIN_DIR}
      --artifacts ${CMAKE_BINARY_DIR}/artifacts)
elseif(HV_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

# windres leaves no dependency file: rebuild a resource script when the shared
# version block or manifest it includes changes.
function(hv_rc_depends)
  foreach(src ${ARGN})
    if(src MATCHES "\\.rc$")
      set_property(SOURCE ${src} APPEND PROPERTY OBJECT_DEPENDS
        ${CMAKE_BINARY_DIR}/generated/version.rc ${CMAKE_BINARY_DIR}/generated/common-controls.manifest)
    endif()
  endforeach()
endfunction()

function(hv_dll name)
  cmake_parse_arguments(A "" "DEF" "SOURCES;LIBS" ${ARGN})
  add_library(${name} SHARED ${A_SOURCES} ${A_DEF})
  hv_rc_depends(${A_SOURCES})
  set_target_properties(${name} PROPERTIES PREFIX "" IMPORT_PREFIX "lib")
  target_link_libraries(${name} PRIVATE ${A_LIBS})
endfunction()

function(hv_program name)
  cmake_parse_arguments(A "CONSOLE" "" "SOURCES;LIBS" ${ARGN})
  if(A_CONSOLE)
    add_executable(${name} ${A_SOURCES})
  else()
    add_executable(${name} WIN32 ${A_SOURCES})
  endif()
  hv_rc_depends(${A_SOURCES})
  target_link_options(${name} PRIVATE -municode)
  target_link_libraries(${name} PRIVATE ${A_LIBS})
endfunction()

function(hv_wine_test name)
  cmake_parse_arguments(A "XVFB;FAKE_CLOCK;NO_GTEST_MAIN" "TIMEOUT" "SOURCES;LIBS;DEPENDS" ${ARGN})
  if(NOT A_TIMEOUT)
    set(A_TIMEOUT 120)
  endif()
  add_executable(${name} ${A_SOURCES})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${HV_TEST_DIR})
  if(A_NO_GTEST_MAIN)
    target_link_libraries(${name} PRIVATE ${A_LIBS} GTest::gtest)
  else()
    target_link_libraries(${name} PRIVATE ${A_LIBS} GTest::gtest_main)
  endif()
  if(A_DEPENDS)
    add_dependencies(${name} ${A_DEPENDS})
  endif()
  add_test(NAME ${name} COMMAND ${name})
  # The runner's own limit comes first so that it can still clean up.
  math(EXPR inner "${A_TIMEOUT} - 10")
  set(env "HV_TIMEOUT=${inner}")
  if(A_XVFB)
    list(APPEND env "HV_XVFB=1")
  endif()
  if(A_FAKE_CLOCK)
    list(APPEND env "HV_FAKE_CLOCK=1")
  endif()
  set_tests_properties(${name} PROPERTIES TIMEOUT ${A_TIMEOUT} ENVIRONMENT "${env}")
endfunction()

function(hv_host_test name)
  cmake_parse_arguments(A "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${A_SOURCES})
  target_link_libraries(${name} PRIVATE ${A_LIBS} GTest::gtest_main)
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES TIMEOUT 120)
endfunction()

function(hv_test_program name)
  cmake_parse_arguments(A "GUI" "" "SOURCES;LIBS;DEPENDS" ${ARGN})
  add_executable(${name} ${A_SOURCES})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${HV_TEST_DIR})
  hv_rc_depends(${A_SOURCES})
  target_link_options(${name} PRIVATE -municode)
  if(A_GUI)
    target_link_options(${name} PRIVATE -mwindows)
  endif()
  if(A_LIBS)
    target_link_libraries(${name} PRIVATE ${A_LIBS})
  endif()
  if(A_DEPENDS)
    add_dependencies(${name} ${A_DEPENDS})
  endif()
endfunction()

function(hv_text_table name)
  cmake_parse_arguments(A "" "FUNCTION" "HEADERS;SCRIPTS" ${ARGN})
  find_package(Python3 REQUIRED COMPONENTS Interpreter)
  set(out ${CMAKE_CURRENT_BINARY_DIR}/${name}.cpp)
  add_custom_command(OUTPUT ${out}
    COMMAND Python3::Interpreter ${CMAKE_SOURCE_DIR}/scripts/gen_text_table.py ${out} ${A_FUNCTION}
            ${A_HEADERS} -- ${A_SCRIPTS}
    DEPENDS ${CMAKE_SOURCE_DIR}/scripts/gen_text_table.py ${A_HEADERS} ${A_SCRIPTS}
    COMMENT "Generating the text table ${name}"
    VERBATIM)
  add_library(${name} STATIC ${out})
endfunction()

# One version for the product, kept here; the .rc files include version.rc.
set(HV_FILE_VERSION "2.00")
set(HV_FILE_VERSION_BIN "2,0,0,0")
set(HV_PRODUCT_VERSION "2.00.2026.1210")
set(HV_PRODUCT_VERSION_BIN "2,0,2026,1210")
if(WIN32)
  configure_file(${CMAKE_CURRENT_LIST_DIR}/version.rc.in ${CMAKE_BINARY_DIR}/generated/version.rc @ONLY)
  configure_file(${CMAKE_CURRENT_LIST_DIR}/common-controls.manifest ${CMAKE_BINARY_DIR}/generated/common-controls.manifest COPYONLY)
  include_directories(${CMAKE_BINARY_DIR}/generated)
endif()
