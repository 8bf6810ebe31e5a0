# The Windows package: a zip with pasarela.exe and, where the desktop
# program was built, PasarelaHoraria.exe with everything it loads at run
# time: the Qt DLLs, Qt's Windows platform plugin and style, the C++ runtime
# DLLs Qt was linked with, and the help file ORBENTA.chm.
#
#   cmake --build <build> && cd <build> && cpack -G ZIP
#
# scripts/build-windows does both. Everything lands in one folder: Windows
# finds DLLs beside the program and Qt finds its plugins under it.
if(NOT WIN32)
  return()
endif()

install(TARGETS pasarela RUNTIME DESTINATION .)

if(TARGET PasarelaHoraria)
  # Qt's imported targets live in the folder that found Qt: found again here.
  find_package(Qt6 REQUIRED COMPONENTS Widgets)
  install(TARGETS PasarelaHoraria RUNTIME DESTINATION .)
  foreach(_qt Core Gui Widgets)
    install(FILES $<TARGET_FILE:Qt6::${_qt}> DESTINATION .)
  endforeach()
  install(FILES $<TARGET_FILE:Qt6::QWindowsIntegrationPlugin> DESTINATION platforms)
  if(TARGET Qt6::QWindowsVistaStylePlugin)
    install(FILES $<TARGET_FILE:Qt6::QWindowsVistaStylePlugin> DESTINATION styles)
  endif()
  # The compiler's own runtime DLLs, as the compiler finds them.
  foreach(_dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${_dll}
                    OUTPUT_VARIABLE _path OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(NOT IS_ABSOLUTE "${_path}" OR NOT EXISTS "${_path}")
      message(FATAL_ERROR "${_dll}, which the desktop program needs, was not found")
    endif()
    install(FILES ${_path} DESTINATION .)
  endforeach()
  if(PASARELA_SAMPLE_CHM)
    install(FILES ${PASARELA_SAMPLE_CHM} DESTINATION .)
  endif()
endif()

set(CPACK_PACKAGE_NAME PasarelaHoraria)
set(CPACK_PACKAGE_VENDOR PasarelaHoraria)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Moves a school's data between ORBENTA and Tempolis")
set(CPACK_PACKAGE_VERSION 1.0.0)
set(CPACK_SYSTEM_NAME windows-x64)
set(CPACK_GENERATOR ZIP)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
include(CPack)
