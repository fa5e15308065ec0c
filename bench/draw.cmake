# The drawing benchmarks compare our software renderer with SDL's stretch and
# blit and with SDL2_gfx on SDL's software renderer.
find_package(PkgConfig REQUIRED)
pkg_check_modules(BENCH_DRAW_SDL2 REQUIRED IMPORTED_TARGET sdl2 SDL2_gfx)
karnolt_benchmark(bench_draw karnolt_platform_draw PkgConfig::BENCH_DRAW_SDL2)
