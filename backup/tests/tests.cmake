# Backups written by the real tool, kept as the fuzzer's seed corpus and
# replayed through the reader by every host test run.
set(backup_corpus ${CMAKE_CURRENT_LIST_DIR}/corpus)

if(WIN32)
  hv_test_program(backup_elevation_probe
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/elevation_probe.cpp ${CMAKE_CURRENT_SOURCE_DIR}/elevation_dialog.cpp
            ${CMAKE_CURRENT_SOURCE_DIR}/cfwBackup.rc
    LIBS hv_shared comctl32
    DEPENDS hv_art GUI)
  target_include_directories(backup_elevation_probe PRIVATE ${CMAKE_CURRENT_SOURCE_DIR} ${HV_ART_DIR}/..)
  hv_wine_test(backup_e2e_test
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/backup_e2e_test.cpp
    LIBS e2e cfwCommon hv_headers backup_logic
    DEPENDS cfwBackup backup_elevation_probe
    XVFB TIMEOUT 300)
  target_compile_definitions(backup_e2e_test PRIVATE BACKUP_CORPUS_DIR="${backup_corpus}")
  # Hand-run: tests/benchmark.sh.
  hv_test_program(backup_benchmark SOURCES ${CMAKE_CURRENT_LIST_DIR}/benchmark.cpp
    LIBS e2e cfwCommon hv_headers DEPENDS cfwBackup)
else()
  hv_host_test(backup_host_test
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/backup_format_test.cpp ${CMAKE_CURRENT_LIST_DIR}/backup_logic_test.cpp
    LIBS backup_logic backup_texts)
  target_compile_definitions(backup_host_test PRIVATE BACKUP_CORPUS_DIR="${backup_corpus}")

  # The libFuzzer target on the reader needs clang; without it the replay
  # above still runs the corpus through the reader.
  find_program(HV_CLANGXX NAMES clang++ clang++-14)
  if(HV_CLANGXX)
    set(fuzz_bin ${CMAKE_CURRENT_BINARY_DIR}/backup_fuzz)
    get_target_property(store_dir cfw_store_headers INTERFACE_INCLUDE_DIRECTORIES)
    add_custom_command(OUTPUT ${fuzz_bin}
      COMMAND ${HV_CLANGXX} -std=c++17 -g -O1 -Wall -Wextra
              -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all
              -I${CMAKE_CURRENT_SOURCE_DIR} -I${store_dir}
              ${CMAKE_CURRENT_LIST_DIR}/fuzz_reader.cpp ${CMAKE_CURRENT_SOURCE_DIR}/backup_format.cpp
              -o ${fuzz_bin}
      DEPENDS ${CMAKE_CURRENT_LIST_DIR}/fuzz_reader.cpp ${CMAKE_CURRENT_SOURCE_DIR}/backup_format.cpp
              ${CMAKE_CURRENT_SOURCE_DIR}/backup_format.h ${store_dir}/cfwCommon.h
      COMMENT "Building the backup reader's fuzz target with clang"
      VERBATIM)
    add_custom_target(backup_fuzz_target ALL DEPENDS ${fuzz_bin})
    # Given files (not a folder), libFuzzer runs each once and stops.
    file(GLOB corpus_files CONFIGURE_DEPENDS ${backup_corpus}/*.cfwb)
    if(corpus_files)
      add_test(NAME backup_fuzz_replay COMMAND ${fuzz_bin} ${corpus_files})
      set_tests_properties(backup_fuzz_replay PROPERTIES TIMEOUT 120)
    endif()
  endif()
endif()
