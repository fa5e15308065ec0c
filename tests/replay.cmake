# The replay tool run from the command line, as users and scripts run it.
add_test(NAME ReplayCommandLine
         COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/replay/replay_cli_test.sh $<TARGET_FILE:karnolt-replay>
                 ${CMAKE_SOURCE_DIR}/data/Level1.bmp)
set_tests_properties(ReplayCommandLine PROPERTIES LABELS replay TIMEOUT 300)

# The player's game with no display to open: one line, status 1, no hang.
add_test(NAME GameWithoutAScreen
         COMMAND bash -c "SDL_VIDEODRIVER=nonexistent timeout 10 \"$0\" 2>\"$1\"; status=$?; cat \"$1\"; \
test $status -eq 1 && grep -q '^karnolt: the screen cannot be opened' \"$1\" && test $(wc -l <\"$1\") -eq 1"
                 $<TARGET_FILE:karnolt> ${CMAKE_CURRENT_BINARY_DIR}/game-without-screen.err)
set_tests_properties(GameWithoutAScreen PROPERTIES LABELS replay TIMEOUT 30)
