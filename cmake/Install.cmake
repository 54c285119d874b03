# The install tree a Windows developer uses as is:
#   bin/       the DLLs with everything they load at run time (Style\, lang\)
#   include/   the public headers
#   lib/       import libraries and the CMake package (find_package CONFIG)
#   tools/     the pack compiler and the authoring tools (64-bit side)
# The 64-bit side installs Orvel, the 32-bit side Pardo; install them into
# separate prefixes (make dist does).
include(CMakePackageConfigHelpers)

set(PACKAGE_VERSION_STRING 1.0.0)

# project_install_headers(DIR...): the headers of source folders, test code
# and authoring-only code left out.
function(project_install_headers)
  foreach(dir ${ARGN})
    install(DIRECTORY ${CMAKE_SOURCE_DIR}/${dir}/ DESTINATION include/${dir}
            FILES_MATCHING PATTERN "*.h" PATTERN "*.inl"
            PATTERN "tests" EXCLUDE PATTERN "testsupport" EXCLUDE PATTERN "tools" EXCLUDE
            PATTERN "demo" EXCLUDE PATTERN "samples" EXCLUDE)
  endforeach()
endfunction()

# project_install_package(NAME TARGETS...): the export set and the package
# files of NAME, found by find_package(NAME CONFIG).
function(project_install_package name)
  install(TARGETS ${ARGN} EXPORT ${name}Targets
          RUNTIME DESTINATION bin ARCHIVE DESTINATION lib)
  install(EXPORT ${name}Targets NAMESPACE ${name}:: DESTINATION lib/cmake/${name})
  configure_package_config_file(${CMAKE_SOURCE_DIR}/cmake/package/${name}Config.cmake.in
                                ${CMAKE_BINARY_DIR}/package/${name}Config.cmake
                                INSTALL_DESTINATION lib/cmake/${name})
  write_basic_package_version_file(${CMAKE_BINARY_DIR}/package/${name}ConfigVersion.cmake
                                   VERSION ${PACKAGE_VERSION_STRING} COMPATIBILITY SameMajorVersion)
  install(FILES ${CMAKE_BINARY_DIR}/package/${name}Config.cmake
                ${CMAKE_BINARY_DIR}/package/${name}ConfigVersion.cmake
                ${CMAKE_SOURCE_DIR}/cmake/package/DeployRuntime.cmake
          DESTINATION lib/cmake/${name})
endfunction()

if(SIDE EQUAL 64)
  project_install_package(Orvel Orvel)
  # Loaded by Orvel.dll at run time, never linked.
  install(FILES $<TARGET_FILE:RUZuvived> $<TARGET_FILE:Selvage> DESTINATION bin)
  install(DIRECTORY ${RUNTIME_DIR}/Style ${RUNTIME_DIR}/lang DESTINATION bin
          PATTERN "*.partial" EXCLUDE)
  install(TARGETS spkc spkgallery RUNTIME DESTINATION tools)
  project_install_headers(orvel)
else()
  project_install_package(Pardo Pardo Tamberkit Pictorium Vantrel)
  install(FILES ${RUNTIME_DIR}/libgcc_s_dw2-1.dll ${RUNTIME_DIR}/libwinpthread-1.dll
          DESTINATION bin)
  project_install_headers(pardo siblings/tamberkit siblings/pictorium siblings/vantrel)
endif()
