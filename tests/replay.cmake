# The replay tool run from the command line, as users and scripts run it.
add_test(NAME ReplayCommandLine
         COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/replay/replay_cli_test.sh $<TARGET_FILE:karnolt-replay>
                 ${CMAKE_SOURCE_DIR}/data/Level1.bmp)
set_tests_properties(ReplayCommandLine PROPERTIES LABELS replay TIMEOUT 300)

