# The player's game on private X servers of three sizes (xvfb-run, no window
# manager), driven by synthetic X input and checked on the screen's pixels. Needs
# the packages of `scripts/install-deps.sh x11` at run time.
find_package(X11 REQUIRED)  # libx11-dev
add_executable(karnolt_tests_e2e e2e/player_test.cpp)
target_link_libraries(karnolt_tests_e2e PRIVATE karnolt_options X11::X11 GTest::gtest GTest::gtest_main)
target_compile_options(karnolt_tests_e2e PRIVATE ${KARNOLT_TEST_OPTIMISATION})
target_compile_definitions(karnolt_tests_e2e PRIVATE KARNOLT_GAME="$<TARGET_FILE:karnolt>"
                           KARNOLT_SOURCE_DIR="${CMAKE_SOURCE_DIR}" KARNOLT_SHOT_DIR="${CMAKE_BINARY_DIR}/e2e")
add_dependencies(karnolt_tests_e2e karnolt)
# The server must not reset between tests when the last client leaves (-noreset).
# Each run starts looking for a free display number at its own, since xvfb-run
# instances started together can otherwise pick the same one.
foreach(run "70:1024x768:Ends*" "80:1920x1080:Builds*:Both*" "90:2048x1536:ShowsTheStartScreen")
  string(REPLACE ":" ";" run "${run}")
  list(POP_FRONT run display size)
  list(TRANSFORM run PREPEND RealDisplay.)
  string(REPLACE ";" ":" filter "${run}")
  add_test(NAME RealDisplay.${size} COMMAND xvfb-run -a -n ${display} -s "-screen 0 ${size}x24 -nolisten tcp -noreset"
                                            $<TARGET_FILE:karnolt_tests_e2e> --gtest_filter=${filter})
  # A filter that matches nothing must not pass as a test.
  set_tests_properties(RealDisplay.${size} PROPERTIES LABELS e2e TIMEOUT 300 COST 50
                                                      FAIL_REGULAR_EXPRESSION "] 0 tests from")
endforeach()

