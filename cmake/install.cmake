# What `cmake --install` (and `make install PREFIX=...`) puts where the
# freedesktop specifications and the FHS expect it: the program, its
# desktop entry, icons, MIME types and man page.
install(TARGETS corvida RUNTIME DESTINATION "${CMAKE_INSTALL_BINDIR}")
install(FILES data/corvida.desktop DESTINATION "${CMAKE_INSTALL_DATADIR}/applications")
install(FILES data/corvida-mime.xml DESTINATION "${CMAKE_INSTALL_DATADIR}/mime/packages" RENAME corvida.xml)
install(FILES data/icons/corvida.svg DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps")
foreach(size 16 32 48 64 128 256)
  install(FILES data/icons/corvida-${size}.png DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps"
          RENAME corvida.png)
endforeach()
set(CORVIDA_VERSION "${PROJECT_VERSION}")
configure_file(data/corvida.1 "${PROJECT_BINARY_DIR}/corvida.1" @ONLY)
install(FILES "${PROJECT_BINARY_DIR}/corvida.1" DESTINATION "${CMAKE_INSTALL_MANDIR}/man1")
