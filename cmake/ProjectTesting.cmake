# GoogleTest from Debian's sources, built with the target toolchain.
set(GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources")
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(${GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)

# project_warnings(target): our warning set, applied per target.
function(project_warnings target)
  target_compile_options(${target} PRIVATE ${PROJECT_WARNINGS})
endfunction()

# project_test(name [DESKTOP] SOURCES ... LIBS ...): one test binary = one
# CTest test, run under Wine through the cross-compiling emulator. DESKTOP
# marks binaries that move the real cursor or take the focus: they never
# run at the same time as each other.
function(project_test name)
  cmake_parse_arguments(PT "DESKTOP" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${PT_SOURCES})
  project_warnings(${name})
  target_link_libraries(${name} PRIVATE ${PT_LIBS} test_common gtest_main)
  add_test(NAME ${name} COMMAND ${name} --gtest_brief=1)
  set_tests_properties(${name} PROPERTIES TIMEOUT 300
                       WORKING_DIRECTORY ${RUNTIME_DIR})
  if(PT_DESKTOP)
    set_tests_properties(${name} PROPERTIES RESOURCE_LOCK desktop)
  endif()
endfunction()
