# The shipped level and its generator: the committed file must be exactly what the
# generator makes, and the level must keep the properties play depends on.
add_test(NAME LevelGenerator.RegeneratesCommittedLevel
         COMMAND ${CMAKE_COMMAND} -DGENERATOR=$<TARGET_FILE:karnolt-make-level>
                 -DCOMMITTED=${CMAKE_SOURCE_DIR}/data/Level1.bmp -DWORK_DIR=${CMAKE_CURRENT_BINARY_DIR}/level
                 -P ${CMAKE_CURRENT_SOURCE_DIR}/tools/check_level_generator.cmake)
set_tests_properties(LevelGenerator.RegeneratesCommittedLevel PROPERTIES LABELS tools)

add_test(NAME InstallTree.FindsLevelFromAnyFolder
         COMMAND ${CMAKE_COMMAND} -DBUILD_DIR=${CMAKE_BINARY_DIR} -DSOURCE_DIR=${CMAKE_SOURCE_DIR}
                 -DWORK_DIR=${CMAKE_CURRENT_BINARY_DIR}/install-tree
                 -P ${CMAKE_CURRENT_SOURCE_DIR}/tools/check_install_tree.cmake)
set_tests_properties(InstallTree.FindsLevelFromAnyFolder PROPERTIES LABELS tools)
