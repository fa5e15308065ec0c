# Long random play on the headless back end (karnolt-soak). The test command runs
# 10,000 frames of seeded play and a short free fall; `make soak` runs a million
# frames, and --free-fall --frames 10000000 the long fall of a single joint.
if(TARGET karnolt_game AND TARGET karnolt_platform_headless)
  file(GLOB SOAK_SOURCES CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/soak/*.cpp)
  add_executable(karnolt-soak ${SOAK_SOURCES})
  target_link_libraries(karnolt-soak PRIVATE karnolt_game karnolt_platform_headless)
  set_property(TARGET karnolt-soak PROPERTY KARNOLT_BACKEND karnolt_platform_headless)
  target_compile_definitions(karnolt-soak PRIVATE KARNOLT_SOURCE_DIR="${CMAKE_SOURCE_DIR}")

  add_test(NAME Soak.RandomPlay COMMAND karnolt-soak --frames 10000 --seed 1)
  set_tests_properties(Soak.RandomPlay PROPERTIES LABELS soak TIMEOUT 400)
  add_test(NAME Soak.FreeFallShort COMMAND karnolt-soak --free-fall --frames 200000 --full-every 1000)
  set_tests_properties(Soak.FreeFallShort PROPERTIES LABELS soak TIMEOUT 400)
endif()
