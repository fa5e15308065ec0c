# Installs the build into a fresh prefix, checks the layout desktop menus and the game rely
# on (the package test validates the files themselves), and starts the installed game from a folder without a level: it must find
# DATA_DIR/karnolt/Level1.bmp from its own folder BIN_DIR and keep running. BIN_DIR and
# DATA_DIR are the build's install layout: bin and share by default, games and share/games
# for the Debian package's build.
cmake_minimum_required(VERSION 3.25)
if(NOT BIN_DIR)
  set(BIN_DIR bin)
endif()
if(NOT DATA_DIR)
  set(DATA_DIR share)
endif()
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR}/elsewhere)
set(prefix ${WORK_DIR}/prefix)

execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix}
                RESULT_VARIABLE status OUTPUT_QUIET ERROR_VARIABLE errors)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "install into ${prefix} failed: ${errors}")
endif()

foreach(path ${BIN_DIR}/karnolt ${DATA_DIR}/karnolt/Level1.bmp share/applications/karnolt.desktop
             share/icons/hicolor/scalable/apps/karnolt.svg share/metainfo/org.karnolt.karnolt.metainfo.xml
             share/man/man6/karnolt.6.gz share/doc/karnolt/copyright share/doc/karnolt/changelog.gz)
  if(NOT EXISTS ${prefix}/${path})
    message(FATAL_ERROR "installed tree lacks ${path}")
  endif()
endforeach()
# SDL's dummy video driver needs no display. A missing level ends the game at once with
# status 1; a found one keeps it in its frame loop until the timeout stops it.
set(ENV{SDL_VIDEODRIVER} dummy)
set(ENV{SDL_AUDIODRIVER} dummy)
execute_process(COMMAND ${prefix}/${BIN_DIR}/karnolt WORKING_DIRECTORY ${WORK_DIR}/elsewhere TIMEOUT 2
                RESULT_VARIABLE status OUTPUT_QUIET ERROR_VARIABLE errors)
if(NOT (status STREQUAL "0" OR status MATCHES "timeout"))
  message(FATAL_ERROR "installed game started from ${WORK_DIR}/elsewhere ended with '${status}': ${errors}")
endif()
