# Installed layout and the Debian package.
#
#   bin/karnolt                                    the game
#   share/karnolt/Level1.bmp                       found by the game as ../share/karnolt beside its folder
#   share/applications/karnolt.desktop             menu entry
#   share/icons/hicolor/scalable/apps/karnolt.svg  its icon
include(GNUInstallDirs)

# The game looks for its level relative to its own folder, so the data folder must sit
# beside the binary folder; a different data folder would install a game without its level.
file(RELATIVE_PATH KARNOLT_DATA_FROM_BIN /${CMAKE_INSTALL_BINDIR} /${CMAKE_INSTALL_DATADIR}/karnolt)
if(NOT KARNOLT_DATA_FROM_BIN STREQUAL "../share/karnolt")
  message(FATAL_ERROR "Karnolt finds its level at ../share/karnolt from its binary folder; "
                      "CMAKE_INSTALL_BINDIR '${CMAKE_INSTALL_BINDIR}' and CMAKE_INSTALL_DATADIR "
                      "'${CMAKE_INSTALL_DATADIR}' do not give that layout")
endif()

install(TARGETS karnolt RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${CMAKE_SOURCE_DIR}/data/Level1.bmp DESTINATION ${CMAKE_INSTALL_DATADIR}/karnolt)
install(FILES ${CMAKE_SOURCE_DIR}/data/karnolt.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_SOURCE_DIR}/data/karnolt.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# Debian package: cpack -G DEB in a Release build folder (make package).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME karnolt)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Karnolt developers")
set(CPACK_PACKAGE_CONTACT "Karnolt developers <karnolt@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "bridge building game with a truss physics simulation")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Wrapped by hand: the package tools show the long description as it stands.
set(CPACK_PACKAGE_DESCRIPTION
    "Karnolt is a single-player construction game. Between the anchors of a\n\
landscape the player builds a truss of steel beams, click by click, then\n\
lets gravity act on it: every beam shows in colour whether it is compressed,\n\
unloaded or stretched, and overloaded beams break. The on-screen texts are\n\
German.")
# dpkg-shlibdeps names every shared library the binary links, SDL2 included, with the
# versions it was built against (CPack needs `file` to find the binaries for it); without
# the two, SDL2 is named outright.
find_program(KARNOLT_DPKG_SHLIBDEPS dpkg-shlibdeps)
find_program(KARNOLT_FILE file)
if(KARNOLT_DPKG_SHLIBDEPS AND KARNOLT_FILE)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
else()
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "libsdl2-2.0-0")
endif()

include(CPack)
