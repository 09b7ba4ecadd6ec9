# Installing: the three programs side by side in bin (the front-end finds the bundled encoder
# there), the desktop entry and its AppStream metadata, the icon at every size it was drawn in,
# the manual pages, the batch tool's shell completion and the package's documents.
# `cpack -G DEB` in the build folder packs the same tree as a Debian package.
include(GNUInstallDirs)

set(TOLVANE_APP_ID org.orvik.Tolvane)
install(TARGETS tolvane tolvane-batch bladeenc RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${CMAKE_SOURCE_DIR}/resources/${TOLVANE_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_SOURCE_DIR}/resources/${TOLVANE_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
foreach(size 16 24 32 48 64 128 256)
  install(FILES ${CMAKE_SOURCE_DIR}/resources/images/tolvane-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
          RENAME tolvane.png)
endforeach()

# Manual pages and the changelog go compressed, as Debian keeps them; -n leaves out the time, so
# that the same sources give the same bytes.
find_program(GZIP gzip REQUIRED)
set(compressed)
foreach(source man/tolvane.1 man/tolvane-batch.1 man/bladeenc.1 debian/changelog)
  get_filename_component(name ${source} NAME)
  set(output ${CMAKE_BINARY_DIR}/compressed/${name}.gz)
  add_custom_command(OUTPUT ${output}
                     COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/compressed
                     COMMAND ${GZIP} -9n -c ${CMAKE_SOURCE_DIR}/resources/${source} > ${output}
                     DEPENDS ${CMAKE_SOURCE_DIR}/resources/${source}
                     VERBATIM)
  list(APPEND compressed ${output})
endforeach()
add_custom_target(compressed_documents ALL DEPENDS ${compressed})
foreach(page tolvane tolvane-batch bladeenc)
  install(FILES ${CMAKE_BINARY_DIR}/compressed/${page}.1.gz
          DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()
install(FILES ${CMAKE_BINARY_DIR}/compressed/changelog.gz
              ${CMAKE_SOURCE_DIR}/resources/debian/copyright
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/tolvane)

# Each shell looks for completion in its own place.
install(FILES ${CMAKE_SOURCE_DIR}/resources/completion/tolvane-batch.bash
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME tolvane-batch)
install(FILES ${CMAKE_SOURCE_DIR}/resources/completion/_tolvane-batch
        DESTINATION ${CMAKE_INSTALL_DATADIR}/zsh/vendor-completions)
install(FILES ${CMAKE_SOURCE_DIR}/resources/completion/tolvane-batch.fish
        DESTINATION ${CMAKE_INSTALL_DATADIR}/fish/vendor_completions.d)

set(CPACK_PACKAGE_NAME tolvane)
set(CPACK_PACKAGE_VENDOR "Orvik")
set(CPACK_PACKAGE_CONTACT "Tolvane developers <developers@tolvane.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Batch MP3 encoder for WAVE and AIFF files")
set(CPACK_PACKAGE_DESCRIPTION
    "Queue WAVE and AIFF files, give each its encoder options and an ID3v1
tag, and encode them one after another with the bundled encoder,
watching each file's and the batch's progress. tolvane-batch encodes
without a window, several files at once.")
set(CPACK_PACKAGE_INSTALL_DIRECTORY tolvane)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# The libraries the programs link (Qt, LAME) become the package's dependencies.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
include(CPack)
