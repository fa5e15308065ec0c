# The shipped level must be exactly what its generator makes (regenerate it with
# karnolt-make-level data/Level1.bmp and commit both), and the installed game must find it.
add_test(NAME LevelGenerator.RegeneratesCommittedLevel
         COMMAND sh -c "\"$0\" \"$1\" && cmp \"$1\" \"$2\"" $<TARGET_FILE:karnolt-make-level>
                 ${CMAKE_CURRENT_BINARY_DIR}/Level1.bmp ${CMAKE_SOURCE_DIR}/data/Level1.bmp)
set_tests_properties(LevelGenerator.RegeneratesCommittedLevel PROPERTIES LABELS tools)

if(KARNOLT_SDL)
  add_test(NAME InstallTree.FindsLevelFromAnyFolder
           COMMAND ${CMAKE_COMMAND} -DBUILD_DIR=${CMAKE_BINARY_DIR} -DSOURCE_DIR=${CMAKE_SOURCE_DIR}
                   -DWORK_DIR=${CMAKE_CURRENT_BINARY_DIR}/install-tree
                   -P ${CMAKE_CURRENT_SOURCE_DIR}/tools/check_install_tree.cmake)
  set_tests_properties(InstallTree.FindsLevelFromAnyFolder PROPERTIES LABELS tools)
endif()
