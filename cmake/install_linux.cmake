# Where `cmake --install` puts things outside Windows: pasarela in bin; the
# desktop program in a folder of its own with its help file beside it (it
# looks for ORBENTA.chm beside its real path), reached through a link in
# bin; manual pages, menu entry, icon and bash completion in their usual
# places. The Debian package is built from this same layout.
include(GNUInstallDirs)

set(PASARELA_PACKAGE_NAME pasarela-horaria)
set(PASARELA_PRIVATE_DIR lib/${PASARELA_PACKAGE_NAME})
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

install(TARGETS pasarela RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

if(TARGET PasarelaHoraria)
  install(TARGETS PasarelaHoraria RUNTIME DESTINATION ${PASARELA_PRIVATE_DIR})
  if(PASARELA_SAMPLE_CHM)
    install(FILES ${PASARELA_SAMPLE_CHM} DESTINATION ${PASARELA_PRIVATE_DIR})
  endif()
  # A relative link, so the tree works wherever it is unpacked.
  install(CODE "
    set(_bin \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
    file(MAKE_DIRECTORY \"\${_bin}\")
    file(CREATE_LINK ../${PASARELA_PRIVATE_DIR}/PasarelaHoraria \"\${_bin}/PasarelaHoraria\" SYMBOLIC)
    message(STATUS \"Installing: \${_bin}/PasarelaHoraria -> ../${PASARELA_PRIVATE_DIR}/PasarelaHoraria\")")
  install(FILES ${PROJECT_SOURCE_DIR}/doc/pasarela-horaria.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${PROJECT_SOURCE_DIR}/doc/pasarela-horaria.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
endif()

# Manual pages and the changelog carry the project's version; Debian wants
# them compressed with gzip -9n (no name, no time stamp).
find_program(GZIP_EXECUTABLE gzip REQUIRED)
set(_doc_out ${PROJECT_BINARY_DIR}/doc)
set(_compressed)
foreach(_doc pasarela.1 PasarelaHoraria.1 changelog)
  if(_doc STREQUAL "PasarelaHoraria.1" AND NOT TARGET PasarelaHoraria)
    continue()
  endif()
  set(_in ${PROJECT_SOURCE_DIR}/doc/${_doc})
  if(EXISTS ${_in}.in)
    set(_in ${_in}.in)
  endif()
  configure_file(${_in} ${_doc_out}/${_doc} @ONLY)
  add_custom_command(
    OUTPUT ${_doc_out}/${_doc}.gz
    COMMAND ${GZIP_EXECUTABLE} -9n -c ${_doc_out}/${_doc} > ${_doc_out}/${_doc}.gz
    DEPENDS ${_doc_out}/${_doc}
    VERBATIM)
  list(APPEND _compressed ${_doc_out}/${_doc}.gz)
endforeach()
add_custom_target(pasarela_docs ALL DEPENDS ${_compressed})

install(FILES ${_doc_out}/pasarela.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
if(TARGET PasarelaHoraria)
  install(FILES ${_doc_out}/PasarelaHoraria.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()
install(FILES ${PROJECT_SOURCE_DIR}/doc/pasarela.bash-completion
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME pasarela)
install(FILES ${PROJECT_SOURCE_DIR}/doc/copyright ${_doc_out}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${PASARELA_PACKAGE_NAME})
