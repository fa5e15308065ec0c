# Long random play on the headless back end (karnolt-soak). The test command runs
# 10,000 frames of seeded play and a short free fall; `make soak` runs a million
# frames, and --free-fall --frames 10000000 the long fall of a single joint.
karnolt_program(karnolt-soak headless soak/free_fall.cpp soak/random_player.cpp soak/soak_main.cpp
                soak/world_checks.cpp)
target_link_libraries(karnolt-soak PRIVATE karnolt_game)
target_compile_definitions(karnolt-soak PRIVATE KARNOLT_SOURCE_DIR="${CMAKE_SOURCE_DIR}")

add_test(NAME Soak.RandomPlay COMMAND karnolt-soak --frames 10000 --seed 1)
set_tests_properties(Soak.RandomPlay PROPERTIES LABELS soak TIMEOUT 400)
add_test(NAME Soak.FreeFallShort COMMAND karnolt-soak --free-fall --frames 200000 --full-every 1000)
set_tests_properties(Soak.FreeFallShort PROPERTIES LABELS soak TIMEOUT 400)
