# The libFuzzer targets (configured with -DVORKAB_FUZZ=ON and clang, in a
# build directory of their own): the library's sources over the scripted
# platform layer instead of libcurl, each target a file of this folder, the
# record readers' targets one file between them.  `fuzz_targets` builds them all.

set(FUZZ_DIR ${CMAKE_SOURCE_DIR}/tests/fuzz)

set(VORKAB_FUZZ_SOURCES ${VORKAB_SOURCES})
list(FILTER VORKAB_FUZZ_SOURCES EXCLUDE REGEX "/port_linux\\.cc$")
add_library(vorkab_fuzz STATIC ${VORKAB_FUZZ_SOURCES} ${FUZZ_DIR}/fuzz_port.cc ${FUZZ_DIR}/fuzz_support.cc)
target_include_directories(vorkab_fuzz PUBLIC src ${FUZZ_DIR})

# name: the target's file is tests/fuzz/<name>.cc, or record_readers_fuzz.cc
# with FUZZ_READER naming its function for a record reader's target.
function(vorkab_fuzz_target name)
  if(name MATCHES "_reader_fuzz$")
    add_executable(${name} ${FUZZ_DIR}/record_readers_fuzz.cc)
    target_compile_definitions(${name} PRIVATE FUZZ_READER=${name})
  else()
    add_executable(${name} ${FUZZ_DIR}/${name}.cc)
  endif()
  target_link_libraries(${name} PRIVATE ${ARGN})
  target_include_directories(${name} PRIVATE ${FUZZ_DIR})
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  add_dependencies(fuzz_targets ${name})
endfunction()

add_custom_target(fuzz_targets)
vorkab_fuzz_target(transport_lines_fuzz vorkab_fuzz)
foreach(kind sub timevar subgrp emfac vehicle roadtype road source grid)
  vorkab_fuzz_target(${kind}_reader_fuzz vorkab_fuzz)
endforeach()
vorkab_fuzz_target(list_replies_fuzz vorkab_fuzz)
vorkab_fuzz_target(load_exports_fuzz vorkab_fuzz sheethost)
vorkab_fuzz_target(sheets_fuzz vorkab_fuzz sheethost)
vorkab_fuzz_target(xlsx_read_fuzz vorkab_xlsx)
vorkab_fuzz_target(server_request_fuzz edb_server_lib)
