# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: Verandix developers
# Install rules and the Debian package (filled in below).
include(GNUInstallDirs)
foreach(_program verandix verandix-homesim verandix-check mkpackage)
    if(TARGET ${_program})
        install(TARGETS ${_program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    endif()
endforeach()
