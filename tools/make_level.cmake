# Generator of the shipped level: karnolt-make-level data/Level1.bmp
add_executable(karnolt-make-level ${CMAKE_CURRENT_LIST_DIR}/make_level.cpp)
target_link_libraries(karnolt-make-level PRIVATE karnolt_options)
