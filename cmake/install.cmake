# Installed layout and the Debian package.
#
#   BINDIR/karnolt                                       the game (bin, or games for Debian)
#   DATADIR/karnolt/Level1.bmp                           its level (share/karnolt, or share/games/karnolt)
#   share/applications/karnolt.desktop                   menu entry
#   share/icons/hicolor/scalable/apps/karnolt.svg        its icon
#   share/metainfo/org.karnolt.karnolt.metainfo.xml      for software centres
#   share/man/man6/karnolt.6.gz                          manual page
#   share/doc/karnolt/copyright, changelog.gz            licence terms and history
#
# The game finds its level relative to its own folder (game/CMakeLists.txt), so any
# BINDIR and DATADIR work; what desktops look up stays under DATAROOTDIR.
include(GNUInstallDirs)

set(KARNOLT_MAINTAINER "" CACHE STRING
    "Package maintainer as 'Name <address>', named in the Debian package and its changelog")
set(KARNOLT_PACKAGE_MAINTAINER "${KARNOLT_MAINTAINER}")
if(KARNOLT_PACKAGE_MAINTAINER STREQUAL "")
  set(KARNOLT_PACKAGE_MAINTAINER "Karnolt developers <karnolt@localhost>")
endif()

# Made at build time: compressed without names or timestamps, so the package is reproducible.
set(generated ${CMAKE_BINARY_DIR}/data)
configure_file(${CMAKE_SOURCE_DIR}/data/changelog.in ${generated}/changelog @ONLY)
configure_file(${CMAKE_SOURCE_DIR}/data/karnolt.6.in ${generated}/karnolt.6 @ONLY)
configure_file(${CMAKE_SOURCE_DIR}/data/org.karnolt.karnolt.metainfo.xml.in
               ${generated}/org.karnolt.karnolt.metainfo.xml @ONLY)
add_custom_command(OUTPUT ${generated}/changelog.gz ${generated}/karnolt.6.gz
                   COMMAND gzip -9nc ${generated}/changelog > ${generated}/changelog.gz
                   COMMAND gzip -9nc ${generated}/karnolt.6 > ${generated}/karnolt.6.gz
                   DEPENDS ${generated}/changelog ${generated}/karnolt.6 VERBATIM)
add_custom_target(karnolt_docs ALL DEPENDS ${generated}/changelog.gz ${generated}/karnolt.6.gz)

install(TARGETS karnolt RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${CMAKE_SOURCE_DIR}/data/Level1.bmp DESTINATION ${CMAKE_INSTALL_DATADIR}/karnolt)
install(FILES ${CMAKE_SOURCE_DIR}/data/karnolt.desktop DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/applications)
install(FILES ${CMAKE_SOURCE_DIR}/data/karnolt.svg
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor/scalable/apps)
install(FILES ${generated}/org.karnolt.karnolt.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/metainfo)
install(FILES ${generated}/karnolt.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES ${CMAKE_SOURCE_DIR}/data/copyright ${generated}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/karnolt)

# Debian package: scripts/build-package.sh (make package) configures a Release build in
# the games layout with Debian's build flags and runs cpack -G DEB.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME karnolt)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "the Karnolt developers")
set(CPACK_PACKAGE_CONTACT "${KARNOLT_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "bridge building game with a truss physics simulation")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${KARNOLT_PACKAGE_MAINTAINER}")
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
