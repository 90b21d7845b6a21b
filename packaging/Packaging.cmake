# Installation into the usual places of a Linux desktop, and the Debian package made from it.
include(GNUInstallDirs)

install(TARGETS orvanel-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# The desktop program with its menu entry and icons; a build without the GUI installs only
# the command-line tool.
if(TARGET orvanel)
  install(TARGETS orvanel RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${CMAKE_CURRENT_LIST_DIR}/orvanel.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${CMAKE_CURRENT_LIST_DIR}/icons/orvanel.svg
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  # The bitmaps are orvanel.svg rendered with "rsvg-convert -w SIZE -h SIZE" (librsvg2-bin)
  # and kept beside it, so that building needs no SVG renderer.
  foreach(size 16 32 48 64 128 256)
    install(FILES ${CMAKE_CURRENT_LIST_DIR}/icons/${size}/orvanel.png
      DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
  endforeach()
  # Qt loads these as plugins at run time, which dpkg-shlibdeps cannot see: the X11 and
  # Wayland window-system plugins, and the SVG icon engine that draws the window's icon.
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, libqt6svg6")
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME orvanel)
set(CPACK_PACKAGE_VENDOR "Orvanel")
set(CPACK_PACKAGE_CONTACT "Orvanel maintainers <orvanel@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "viewer for Tarnwick DAT archives")
set(CPACK_PACKAGE_DESCRIPTION "Opens the DAT archives of the game Tarnwick read-only, lists \
their stored files by category and shows each as hex and as what it is: picture, sound or \
text. Selected files are saved as .bmp, .wav, .txt or .bin. Includes the command-line tool \
orvanel-cli.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
# The libraries' packages are found by dpkg-shlibdeps from what the programs link.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
include(CPack)
