# The cost the platform adds to a frame on the headless back end, and a probe
# of the SDL back end's frame pacing (processor time and intervals).
karnolt_benchmark(bench_present karnolt_platform_headless)

add_executable(pacing_probe ${CMAKE_CURRENT_LIST_DIR}/pacing_probe.cpp)
target_link_libraries(pacing_probe PRIVATE karnolt_platform_sdl)
set_target_properties(pacing_probe PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
