# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: Verandix developers
# Install rules and the Debian package. `cmake --install` puts the programs in bin and the desktop
# integration (menu entry, icons, AppStream metadata, man page) under share; `cpack -G DEB` (see
# scripts/package.sh) wraps the same tree into a .deb whose library dependencies dpkg-shlibdeps
# works out from the programs themselves.
include(GNUInstallDirs)

# Installing (and so cpack) needs only the installed programs built, not every test and tool.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

set(VERANDIX_APP_ID org.verandix.Verandix)
set(_packaging ${CMAKE_SOURCE_DIR}/packaging)

foreach(_program verandix verandix-homesim verandix-check mkpackage verandix-demogen)
    if(TARGET ${_program})
        install(TARGETS ${_program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    endif()
endforeach()

install(FILES ${_packaging}/${VERANDIX_APP_ID}.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${_packaging}/icons/verandix.svg
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(_size 16 24 32 48 64 128 256)
    install(FILES ${_packaging}/icons/verandix-${_size}.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${_size}x${_size}/apps
        RENAME verandix.png)
endforeach()

# The headless bridge as a service; the package installs it disabled (nothing enables it).
install(FILES ${_packaging}/verandix-bridge.service DESTINATION lib/systemd/system)

# The metadata and the man page carry the version of the build.
configure_file(${_packaging}/${VERANDIX_APP_ID}.metainfo.xml
    ${CMAKE_BINARY_DIR}/packaging/${VERANDIX_APP_ID}.metainfo.xml @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/packaging/${VERANDIX_APP_ID}.metainfo.xml
    DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
configure_file(${_packaging}/verandix.1 ${CMAKE_BINARY_DIR}/packaging/verandix.1 @ONLY)
find_program(GZIP_EXECUTABLE gzip)
if(GZIP_EXECUTABLE)
    # Debian ships man pages compressed; -n keeps the file the same from build to build.
    add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/packaging/verandix.1.gz
        COMMAND ${GZIP_EXECUTABLE} -9 -n -c ${CMAKE_BINARY_DIR}/packaging/verandix.1
                > ${CMAKE_BINARY_DIR}/packaging/verandix.1.gz
        DEPENDS ${CMAKE_BINARY_DIR}/packaging/verandix.1
        VERBATIM)
    add_custom_target(verandix-manpage ALL DEPENDS ${CMAKE_BINARY_DIR}/packaging/verandix.1.gz)
    install(FILES ${CMAKE_BINARY_DIR}/packaging/verandix.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
else()
    install(FILES ${CMAKE_BINARY_DIR}/packaging/verandix.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()

# --- Debian package ---
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME verandix)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Verandix developers")
set(CPACK_PACKAGE_CONTACT "Verandix developers <verandix@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "control panel of a smart home and editor of its screens")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "control panel of a smart home and editor of its screens
 Verandix shows a home as subsystems (lighting, heating, security and more),
 each a tree of floor and room plans carrying lamps, switches, thermostats,
 sensors, cameras and weather tiles. It polls the home controller over Modbus
 TCP, shows and logs alarms and plays their sounds, and turns every touch on a
 control into a command. The same program edits the screens.
 .
 The package also holds the home controller simulator (verandix-homesim), the
 project checker (verandix-check) and the package archive builder (mkpackage).
 A built-in demo home runs without any controller.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Libraries the programs link come from dpkg-shlibdeps; what Qt loads at run time does not show
# there: the audio back end of QtMultimedia and the SVG image plugin.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt5multimedia5-plugins, libqt5svg5")
# The screens ask for "Arial"; Liberation Sans has the same metrics.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-liberation2")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "pulseaudio")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
include(CPack)
