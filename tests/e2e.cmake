# The player's game on a private X server (Xvfb), driven by synthetic X input
# and checked on the screen's pixels. Needs the packages of
# `scripts/install-deps.sh x11` at run time.
find_package(X11)
if(NOT X11_FOUND)
  message(FATAL_ERROR "The end-to-end tests need the Xlib headers (libx11-dev)")
endif()
add_executable(karnolt_tests_e2e e2e/player_test.cpp)
target_link_libraries(karnolt_tests_e2e PRIVATE karnolt_options X11::X11 GTest::gtest GTest::gtest_main)
target_compile_definitions(karnolt_tests_e2e PRIVATE KARNOLT_GAME="$<TARGET_FILE:karnolt>"
                           KARNOLT_SOURCE_DIR="${CMAKE_SOURCE_DIR}" KARNOLT_E2E_DIR="${CMAKE_CURRENT_SOURCE_DIR}/e2e"
                           KARNOLT_SHOT_DIR="${CMAKE_BINARY_DIR}/e2e-screens")
add_dependencies(karnolt_tests_e2e karnolt)
set_target_properties(karnolt_tests_e2e PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
gtest_discover_tests(karnolt_tests_e2e DISCOVERY_TIMEOUT 60 PROPERTIES LABELS e2e TIMEOUT 120)
