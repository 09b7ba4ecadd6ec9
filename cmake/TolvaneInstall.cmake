# Installing: the two programs side by side in bin (the front-end finds the bundled encoder
# there), the desktop entry and the icon at every size it was drawn in. `cpack -G DEB` in the
# build folder packs the same tree as a Debian package.
include(GNUInstallDirs)

install(TARGETS tolvane tolvane-batch bladeenc RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${CMAKE_SOURCE_DIR}/resources/tolvane.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
foreach(size 16 24 32 48 64 128 256)
  install(FILES ${CMAKE_SOURCE_DIR}/resources/images/tolvane-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
          RENAME tolvane.png)
endforeach()

set(CPACK_PACKAGE_NAME tolvane)
set(CPACK_PACKAGE_VENDOR "Orvik")
set(CPACK_PACKAGE_CONTACT "Tolvane developers <developers@tolvane.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Batch MP3 encoder for WAVE and AIFF files")
set(CPACK_PACKAGE_DESCRIPTION
    "Queue WAVE and AIFF files, give each its encoder options and an ID3v1 tag, and encode them
one after another with the bundled encoder, watching each file's and the batch's progress.")
set(CPACK_PACKAGE_INSTALL_DIRECTORY tolvane)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# The libraries the programs link (Qt, LAME) become the package's dependencies.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
include(CPack)
