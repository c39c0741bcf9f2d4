# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: Verandix developers
# The user guide: docs/user-guide.md rendered to build/docs/user-guide.html with its pictures
# beside it (where a program run from the build tree finds it) and installed to
# share/doc/verandix (where an installed one does), so the package carries it too.
find_program(CMARK_EXECUTABLE cmark)
set(_guide_source ${CMAKE_SOURCE_DIR}/docs/user-guide.md)
if(NOT CMARK_EXECUTABLE OR NOT EXISTS ${_guide_source})
    message(STATUS "cmark not found: the user guide is not built")
    return()
endif()

set(_guide_dir ${CMAKE_BINARY_DIR}/docs)
# Only the guide's own pictures; the others illustrate the README.
file(GLOB _guide_pictures CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/docs/pictures/guide-*.png)
set(_guide_outputs ${_guide_dir}/user-guide.html)
foreach(_picture IN LISTS _guide_pictures)
    get_filename_component(_name ${_picture} NAME)
    add_custom_command(OUTPUT ${_guide_dir}/pictures/${_name}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${_guide_dir}/pictures
        COMMAND ${CMAKE_COMMAND} -E copy_if_different ${_picture} ${_guide_dir}/pictures/${_name}
        DEPENDS ${_picture}
        VERBATIM)
    list(APPEND _guide_outputs ${_guide_dir}/pictures/${_name})
endforeach()
add_custom_command(OUTPUT ${_guide_dir}/user-guide.html
    COMMAND ${CMAKE_COMMAND} -DCMARK=${CMARK_EXECUTABLE} -DINPUT=${_guide_source}
            -DOUTPUT=${_guide_dir}/user-guide.html "-DTITLE=Verandix user guide"
            -P ${CMAKE_SOURCE_DIR}/cmake/rendermarkdown.cmake
    DEPENDS ${_guide_source} ${CMAKE_SOURCE_DIR}/cmake/rendermarkdown.cmake
    COMMENT "Rendering the user guide"
    VERBATIM)
# The commissioning guide goes the same way, beside it.
set(_commissioning_source ${CMAKE_SOURCE_DIR}/docs/commissioning.md)
add_custom_command(OUTPUT ${_guide_dir}/commissioning.html
    COMMAND ${CMAKE_COMMAND} -DCMARK=${CMARK_EXECUTABLE} -DINPUT=${_commissioning_source}
            -DOUTPUT=${_guide_dir}/commissioning.html "-DTITLE=Commissioning a home with Verandix"
            -P ${CMAKE_SOURCE_DIR}/cmake/rendermarkdown.cmake
    DEPENDS ${_commissioning_source} ${CMAKE_SOURCE_DIR}/cmake/rendermarkdown.cmake
    COMMENT "Rendering the commissioning guide"
    VERBATIM)
list(APPEND _guide_outputs ${_guide_dir}/commissioning.html)
add_custom_target(verandix-userguide ALL DEPENDS ${_guide_outputs})

install(FILES ${_guide_dir}/user-guide.html ${_guide_dir}/commissioning.html
    DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES ${_guide_pictures} DESTINATION ${CMAKE_INSTALL_DOCDIR}/pictures)
