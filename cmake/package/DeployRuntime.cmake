# <pkg>_deploy_runtime(TARGET): after each build of TARGET, copies the
# package's bin/ (DLLs, Style\, lang\) beside TARGET's executable, which is
# where the libraries look for their packs and language modules.
function(_project_deploy_runtime target bin_dir)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E copy_directory ${bin_dir} $<TARGET_FILE_DIR:${target}>
    VERBATIM)
endfunction()
