# Writes a C++ source holding a file's bytes, for a program that carries the file in
# itself (AddBuiltInFile): BUILT_IN_FILE_NAME (the bare name), BUILT_IN_FILE_BYTES and
# BUILT_IN_FILE_SIZE.
#
# cmake -DINPUT=FILE -DOUTPUT=FILE -P built_in_file.cmake
cmake_minimum_required(VERSION 3.25)
foreach(variable INPUT OUTPUT)
  if(NOT DEFINED ${variable})
    message(FATAL_ERROR "built_in_file.cmake: ${variable} is not given")
  endif()
endforeach()
if(NOT EXISTS "${INPUT}")
  message(FATAL_ERROR "built_in_file.cmake: ${INPUT}: not found")
endif()

file(READ "${INPUT}" hex HEX)
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
cmake_path(GET INPUT FILENAME name)
file(WRITE "${OUTPUT}" "// Written at build time from ${name} (built_in_file.cmake).
#include <cstddef>
#include <cstdint>

extern const char BUILT_IN_FILE_NAME[] = \"${name}\";
extern const uint8_t BUILT_IN_FILE_BYTES[] = {${bytes}};
extern const std::size_t BUILT_IN_FILE_SIZE = sizeof BUILT_IN_FILE_BYTES;
")
