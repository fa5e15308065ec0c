# The one-off converter of the compiled-in bitmap font (see tools/font_convert.cpp).
add_executable(font_convert ${CMAKE_CURRENT_LIST_DIR}/font_convert.cpp)
target_link_libraries(font_convert PRIVATE karnolt_options)
