# The Debian package (cpack -G DEB in a build folder): the layout of
# install_linux.cmake under /usr, its dependencies computed from the
# binaries by dpkg-shlibdeps.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${PASARELA_PACKAGE_NAME})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Equipo de PasarelaHoraria")
set(PASARELA_MAINTAINER "Equipo de PasarelaHoraria <pasarela-horaria@example.org>"
    CACHE STRING "Maintainer field of the Debian package")
set(CPACK_PACKAGE_CONTACT ${PASARELA_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${PASARELA_MAINTAINER})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "school timetable data transfer between ORBENTA and Tempolis")
# The synopsis comes from the summary; CPack indents these lines and turns
# the empty one into the paragraph mark.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "PasarelaHoraria moves a school's data both ways between the dBase tables
of the school-management system ORBENTA and the dBase interchange tables
of the timetable generator Tempolis: the export writes the nine
interchange tables, the import turns the generator's solution into the
school's timetable tables.

The package holds the desktop program with its help file and menu entry,
and the command line program pasarela with its manual page.")
include(CPack)
