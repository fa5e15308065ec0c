# Whole frames of the game on the headless back end, and the editor's bulk deletion.
karnolt_benchmark(bench_frames karnolt_game karnolt_platform_headless)
target_compile_definitions(bench_frames PRIVATE KARNOLT_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
karnolt_benchmark(bench_editor karnolt_game karnolt_platform_headless)
