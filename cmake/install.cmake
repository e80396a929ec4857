# cmake --install for a prefix chosen at install time, and the packages made
# from it: cpack gives a .deb from the native build and a .zip from the
# Win32 one.
include(GNUInstallDirs)
set(linux_resources ${PROJECT_SOURCE_DIR}/resources/linux)
# The documents that name the project's version are made from it.
set(versioned ${CMAKE_BINARY_DIR}/versioned)

# Manual pages and the changelog are installed compressed, as Debian wants them.
function(drollbox_gzip source output)
  add_custom_command(OUTPUT ${output}
    COMMAND gzip -9 -n -c ${source} > ${output}
    DEPENDS ${source} VERBATIM)
endfunction()

if(WIN32)
  set(DROLLBOX_WIN32_DATABASE "${PROJECT_SOURCE_DIR}/build/default/run/Drollbox.dat" CACHE FILEPATH
      "The Drollbox.dat packed by the native build that goes into the Windows archive")
  if(TARGET drollbox)
    install(TARGETS drollbox RUNTIME DESTINATION .)
  endif()
  install(FILES ${DROLLBOX_WIN32_DATABASE} DESTINATION .)
  configure_file(${PROJECT_SOURCE_DIR}/resources/windows/README.txt.in ${versioned}/README.txt @ONLY
    NEWLINE_STYLE CRLF)
  install(FILES ${versioned}/README.txt DESTINATION .)
  install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION . RENAME LICENSE.txt)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME drollbox-${PROJECT_VERSION}-win64)
else()
  set(gz ${CMAKE_BINARY_DIR}/gz)
  file(MAKE_DIRECTORY ${gz})
  foreach(page drollbox.6 drollbox-db.1)
    configure_file(${linux_resources}/${page}.in ${versioned}/${page} @ONLY)
    drollbox_gzip(${versioned}/${page} ${gz}/${page}.gz)
  endforeach()
  drollbox_gzip(${linux_resources}/changelog ${gz}/changelog.gz)
  add_custom_target(drollbox_compressed_docs ALL
    DEPENDS ${gz}/drollbox.6.gz ${gz}/drollbox-db.1.gz ${gz}/changelog.gz)

  set(docdir ${CMAKE_INSTALL_DATADIR}/doc/drollbox)
  install(FILES ${linux_resources}/copyright ${gz}/changelog.gz DESTINATION ${docdir})
  if(TARGET drollbox)
    install(TARGETS drollbox RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    install(FILES ${linux_resources}/org.drollbox.drollbox.desktop
            DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    install(FILES ${linux_resources}/org.drollbox.drollbox.metainfo.xml
            DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
    foreach(size 16 32 48 64 128 256)
      install(FILES ${PROJECT_SOURCE_DIR}/resources/icons/drollbox-${size}.png
              DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
              RENAME drollbox.png)
    endforeach()
    install(FILES ${PROJECT_SOURCE_DIR}/resources/icons/drollbox.svg
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
    install(FILES ${gz}/drollbox.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
    install(FILES ${linux_resources}/drollbox.bash
            DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME drollbox)
  endif()
  if(TARGET drollbox-db)
    install(TARGETS drollbox-db RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    install(FILES ${DROLLBOX_DEFAULT_DATABASE} DESTINATION ${CMAKE_INSTALL_DATADIR}/drollbox)
    install(FILES ${gz}/drollbox-db.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
    install(FILES ${linux_resources}/drollbox-db.bash
            DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME drollbox-db)
    install(FILES ${linux_resources}/drollbox.lintian-overrides
            DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME drollbox)
  endif()

  set(CPACK_GENERATOR DEB)
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION misc)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://drollbox.org/)
  set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
      "Drollbox shows a fortune cookie chosen at random in a small window with\n"
      "buttons for a new cookie, the previous ones, the font and screen class.\n"
      "Its database (over fifteen thousand cookies come with it) is compressed by\n"
      "its own context-modelling codec. drollbox-db builds databases from fortune\n"
      "files, checks them, prints a random cookie and searches the cookies.")
  string(JOIN "" CPACK_DEBIAN_PACKAGE_DESCRIPTION ${CPACK_DEBIAN_PACKAGE_DESCRIPTION})
endif()

set(CPACK_PACKAGE_NAME drollbox)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Drollbox developers")
set(CPACK_PACKAGE_CONTACT "The Drollbox developers <drollbox@drollbox.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "fortune cookie viewer with a database of its own")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_OUTPUT_FILE_PREFIX ${CMAKE_BINARY_DIR}/packages)
include(CPack)
