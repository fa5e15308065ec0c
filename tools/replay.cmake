# karnolt-replay: the game on the headless back end, driven by a script.
if(TARGET karnolt_platform_headless)
  add_library(karnolt_replay STATIC ${CMAKE_CURRENT_LIST_DIR}/replay/script.cpp ${CMAKE_CURRENT_LIST_DIR}/replay/output.cpp)
  target_link_libraries(karnolt_replay PUBLIC karnolt_game)
  add_executable(karnolt-replay ${CMAKE_CURRENT_LIST_DIR}/replay/main.cpp)
  target_link_libraries(karnolt-replay PRIVATE karnolt_replay)
  set_property(TARGET karnolt-replay PROPERTY KARNOLT_BACKEND karnolt_platform_headless)
  add_custom_command(TARGET karnolt-replay POST_BUILD
                     COMMAND ${CMAKE_COMMAND} -E copy_if_different ${CMAKE_SOURCE_DIR}/data/Level1.bmp
                             $<TARGET_FILE_DIR:karnolt-replay>/Level1.bmp)
endif()
