# The Windows test programs, built with mingw-w64 (x86_64) and run under Wine
# by scripts/wine-tests.sh:
#   test_<folder>.exe  the unit tests of tests/records, tests/catalogue and
#                      tests/workbook, linked with the library's code;
#   wine_e2e.exe       the end-to-end program (tests/windows/): it loads
#                      VORKABCOM.dll with LoadLibrary and talks to a
#                      substitute server that the script starts.
# Everything links statically, so Wine needs no mingw run-time DLLs.
#
# Test files that need Linux-only support cannot run here: the substitute
# server as a child process, the Linux port's test hooks, POSIX headers.  They
# are left out by the rule below and listed in wine-left-out.txt in the build
# folder, which the script prints.

set(VORKAB_GTEST_DIR /usr/src/googletest/googletest CACHE PATH "GoogleTest sources")

# GoogleTest compiled from its sources with the cross compiler.
add_library(wine_gtest STATIC ${VORKAB_GTEST_DIR}/src/gtest-all.cc)
target_include_directories(wine_gtest SYSTEM PUBLIC ${VORKAB_GTEST_DIR}/include)
target_include_directories(wine_gtest PRIVATE ${VORKAB_GTEST_DIR})
target_compile_options(wine_gtest PRIVATE -w)
add_library(wine_gtest_main STATIC ${VORKAB_GTEST_DIR}/src/gtest_main.cc)
target_compile_options(wine_gtest_main PRIVATE -w)
target_link_libraries(wine_gtest_main PUBLIC wine_gtest)

# Support code that builds for Windows.
set(WINE_SUPPORT_SOURCES)
foreach(source tests/support/raw_http_server.cc)
  file(READ ${CMAKE_SOURCE_DIR}/${source} text)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${source})
  if(text MATCHES "_WIN32")
    list(APPEND WINE_SUPPORT_SOURCES ${CMAKE_SOURCE_DIR}/${source})
  endif()
endforeach()

# A test file that includes one of these cannot build or run under Wine.
set(WINE_LINUX_ONLY_INCLUDES
  "support/edb_server_process\\.h"
  "port/port_linux_testing\\.h"
  "unistd\\.h" "sys/[a-z_]+\\.h" "poll\\.h" "dlfcn\\.h" "arpa/inet\\.h" "netinet/[a-z_]+\\.h")
list(JOIN WINE_LINUX_ONLY_INCLUDES "|" linux_only)
if(NOT WINE_SUPPORT_SOURCES)
  string(APPEND linux_only "|support/raw_http_server\\.h")
endif()

set(left_out "")
set(unit_tests "")
foreach(dir records catalogue workbook)
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/${dir}/*.cc)
  set(kept "")
  foreach(source ${sources})
    file(READ ${source} text)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${source})
    # Headers of the test folder itself (fixtures) count as part of the file.
    string(REGEX MATCHALL "#include \"[A-Za-z0-9_]+\\.h\"" local "${text}")
    foreach(include ${local})
      string(REGEX REPLACE "#include \"(.*)\"" "\\1" header "${include}")
      if(EXISTS ${CMAKE_SOURCE_DIR}/tests/${dir}/${header})
        file(READ ${CMAKE_SOURCE_DIR}/tests/${dir}/${header} more)
        set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/${dir}/${header})
        string(APPEND text "${more}")
      endif()
    endforeach()
    string(REGEX MATCH "#include [<\"](${linux_only})[>\"]" needs "${text}")
    file(RELATIVE_PATH name ${CMAKE_SOURCE_DIR} ${source})
    if(needs)
      string(REGEX REPLACE "#include " "" needs "${needs}")
      string(APPEND left_out "${name} (${needs})\n")
    else()
      list(APPEND kept ${source})
    endif()
  endforeach()
  if(NOT kept)
    continue()
  endif()
  add_executable(test_${dir} ${kept} ${WINE_SUPPORT_SOURCES})
  target_include_directories(test_${dir} PRIVATE ${CMAKE_SOURCE_DIR}/tests ${CMAKE_SOURCE_DIR}/src)
  target_link_libraries(test_${dir} PRIVATE vorkab_static wine_gtest_main)
  if(WINE_SUPPORT_SOURCES)
    target_link_libraries(test_${dir} PRIVATE ws2_32)
  endif()
  if(dir STREQUAL "workbook")
    target_link_libraries(test_${dir} PRIVATE sheethost)
  endif()
  target_link_options(test_${dir} PRIVATE -static)
  list(APPEND unit_tests test_${dir})
endforeach()
file(WRITE ${CMAKE_BINARY_DIR}/wine-left-out.txt "${left_out}")
list(JOIN unit_tests "\n" unit_list)
file(WRITE ${CMAKE_BINARY_DIR}/wine-unit-tests.txt "${unit_list}\n")

# The end-to-end program.  It links the substitute spreadsheet host (when the
# tree has it) and hands its entry point to the DLL.
file(GLOB WINE_E2E_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/windows/*.cc)
add_executable(wine_e2e ${WINE_E2E_SOURCES})
target_include_directories(wine_e2e PRIVATE ${CMAKE_SOURCE_DIR}/tests ${CMAKE_SOURCE_DIR}/src)
target_link_libraries(wine_e2e PRIVATE wine_gtest_main)
if(TARGET sheethost)
  target_link_libraries(wine_e2e PRIVATE sheethost)
  target_compile_definitions(wine_e2e PRIVATE VORKAB_HAVE_SHEETHOST=1)
endif()
target_link_options(wine_e2e PRIVATE -static)
add_dependencies(wine_e2e vorkabcom)

add_custom_target(windows_tests DEPENDS vorkabcom wine_e2e ${unit_tests})
