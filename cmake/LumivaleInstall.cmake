# Where `cmake --install` puts the program, and the Debian package CPack makes from the same rules.
#
#   bin/lumivale, bin/lumivale-cli                      the program and the command line
#   share/applications/lumivale.desktop                 the desktop entry
#   share/icons/hicolor/scalable/apps/lumivale.svg      its icon
#   share/lumivale/AirportDirectory/                    the airport directory's lists
#   share/doc/lumivale/manual/                          the user manual (Manual.htm, ManualPictures/)
#   share/doc/lumivale/README.md, DATA.md               the user's guide, the data's sources and licences
#
# The program carries the airport lists and the manual inside itself and puts them into
# its program folder at the first start; the copies under share/ are the readable ones a
# packaged program is expected to have.
include(GNUInstallDirs)

set(LUMIVALE_DATA_DIR "${CMAKE_INSTALL_DATADIR}/lumivale")
set(LUMIVALE_DOC_DIR "${CMAKE_INSTALL_DATADIR}/doc/lumivale")

install(TARGETS lumivale-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(LUMIVALE_GUI)
  install(TARGETS lumivale RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES data/desktop/lumivale.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES data/desktop/lumivale.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
endif()
install(DIRECTORY data/AirportDirectory DESTINATION ${LUMIVALE_DATA_DIR})
install(FILES data/Manual.htm DESTINATION ${LUMIVALE_DOC_DIR}/manual)
install(DIRECTORY data/ManualPictures DESTINATION ${LUMIVALE_DOC_DIR}/manual)
install(FILES README.md DESTINATION ${LUMIVALE_DOC_DIR})
install(FILES data/README.md DESTINATION ${LUMIVALE_DOC_DIR} RENAME DATA.md)

# The Debian package: the same files below /usr.
set(CPACK_GENERATOR "DEB")
set(CPACK_PACKAGE_NAME "lumivale")
set(CPACK_PACKAGE_VENDOR "Lumivale")
set(CPACK_PACKAGE_CONTACT "Lumivale <lumivale@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Scenery library manager for classic flight simulators")
set(CPACK_PACKAGE_DESCRIPTION
    "Keeps the library of every scenery a user owns, arranges it in levels and sets, and writes the simulator's Scenery.cfg from the sets chosen. With a command line, lumivale-cli.")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME "DEB-DEFAULT")
set(CPACK_DEBIAN_PACKAGE_SECTION "games")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://lumivale.example.org/")
# The libraries the two programs load (tests/install checks that every one of them is named); the
# window's X11 platform plugin comes with libqt6gui6.
set(lumivaleDepends libc6 libgcc-s1 libstdc++6 "libqt6core6 (>= 6.4)" "libzip4 (>= 1.7)")
if(LUMIVALE_GUI)
  list(APPEND lumivaleDepends "libqt6gui6 (>= 6.4)" "libqt6widgets6 (>= 6.4)" "libqt6network6 (>= 6.4)"
       "libqt6printsupport6 (>= 6.4)")
endif()
list(JOIN lumivaleDepends ", " CPACK_DEBIAN_PACKAGE_DEPENDS)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-dejavu-core")
include(CPack)
