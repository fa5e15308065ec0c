# Long random play on the headless back end (karnolt-soak). The test command runs
# 10,000 frames as two seeded runs of 5,000 that can go side by side; `make soak`
# runs a million frames, and --free-fall the long fall of a single joint.
if(TARGET karnolt_game AND TARGET karnolt_platform_headless)
  file(GLOB SOAK_SOURCES CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/soak/*.cpp)
  add_executable(karnolt-soak ${SOAK_SOURCES})
  target_link_libraries(karnolt-soak PRIVATE karnolt_game karnolt_platform_headless)
  target_compile_definitions(karnolt-soak PRIVATE KARNOLT_SOURCE_DIR="${CMAKE_SOURCE_DIR}")

  foreach(seed 1 2)
    add_test(NAME Soak.RandomPlaySeed${seed} COMMAND karnolt-soak --frames 5000 --seed ${seed})
    set_tests_properties(Soak.RandomPlaySeed${seed} PROPERTIES LABELS soak TIMEOUT 400)
  endforeach()
  add_test(NAME Soak.FreeFallShort COMMAND karnolt-soak --free-fall --frames 200000 --full-every 1000)
  set_tests_properties(Soak.FreeFallShort PROPERTIES LABELS soak TIMEOUT 400)
endif()
