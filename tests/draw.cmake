# The drawing tests compare the bitmap decoder with SDL_LoadBMP.
if(TARGET karnolt_tests_draw)
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(DRAW_TEST_SDL2 REQUIRED IMPORTED_TARGET sdl2)
  target_link_libraries(karnolt_tests_draw PRIVATE PkgConfig::DRAW_TEST_SDL2)
endif()
