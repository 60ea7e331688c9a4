# SPDX-License-Identifier: MIT
# What `make install` puts where (GNUInstallDirs: prefix and DESTDIR work), and the DEB package.
set(KIWANO_APP_ID org.kiwanosnapper.KiwanoSnapper)
install(TARGETS kiwano-snapper RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS kiwano-snapper-app RUNTIME DESTINATION ${CMAKE_INSTALL_LIBEXECDIR}/kiwano-snapper)
install(FILES ${PROJECT_SOURCE_DIR}/resources/linux/${KIWANO_APP_ID}.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
# KWin lets a program use its fake input (the paste keys) and its screenshot service only when a
# desktop file's Exec= is that program's executable, by its absolute path: one hidden desktop
# file for the running app and one for the capture tool, written with the prefix of the install
# (a package's, under CPack, is known only then).
foreach(part Service Capture)
  install(CODE "
    set(program kiwano-snapper-app)
    if(\"${part}\" STREQUAL \"Capture\")
      set(program kiwano-capture)
    endif()
    file(READ \"${PROJECT_SOURCE_DIR}/resources/linux/${KIWANO_APP_ID}.${part}.desktop.in\" entry)
    string(REPLACE \"@EXEC@\" \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_LIBEXECDIR}/kiwano-snapper/\${program}\" entry \"\${entry}\")
    file(WRITE \"${PROJECT_BINARY_DIR}/${KIWANO_APP_ID}.${part}.desktop\" \"\${entry}\")
    file(INSTALL \"${PROJECT_BINARY_DIR}/${KIWANO_APP_ID}.${part}.desktop\"
         DESTINATION \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/applications\")
  ")
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/resources/linux/${KIWANO_APP_ID}.metainfo.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
# Our GNOME Shell extension, where the shell finds extensions for every user; the settings turn it on.
install(DIRECTORY ${PROJECT_SOURCE_DIR}/resources/gnome-shell/kiwano-snapper@kiwanosnapper.org
  DESTINATION ${CMAKE_INSTALL_DATADIR}/gnome-shell/extensions)
install(FILES ${PROJECT_SOURCE_DIR}/resources/linux/copyright
  DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/kiwano-snapper)
# Debian wants the changelog and the manual page compressed, reproducibly.
set(changelog ${PROJECT_BINARY_DIR}/changelog.gz)
set(manpage ${PROJECT_BINARY_DIR}/kiwano-snapper.1.gz)
add_custom_command(OUTPUT ${changelog}
  COMMAND gzip -9nc ${PROJECT_SOURCE_DIR}/resources/linux/changelog.Debian > ${changelog}
  DEPENDS ${PROJECT_SOURCE_DIR}/resources/linux/changelog.Debian)
add_custom_command(OUTPUT ${manpage}
  COMMAND gzip -9nc ${PROJECT_SOURCE_DIR}/resources/linux/kiwano-snapper.1 > ${manpage}
  DEPENDS ${PROJECT_SOURCE_DIR}/resources/linux/kiwano-snapper.1)
add_custom_target(kiwano-changelog ALL DEPENDS ${changelog} ${manpage})
install(FILES ${changelog} DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/kiwano-snapper)
install(FILES ${manpage} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kiwano-snapper)
set(CPACK_PACKAGE_VENDOR "Kiwano Snapper")
set(CPACK_PACKAGE_CONTACT "Kiwano Snapper developers <maintainers@kiwanosnapper.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "screen grabs, annotation and clipboard history in the tray")
set(CPACK_PACKAGE_DESCRIPTION "Kiwano Snapper lives in the system tray. It grabs a region, a window or\nthe whole screen, annotates the grab in its editor, and keeps a\nsearchable clipboard history that pastes entries back.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt's image and platform plugins are loaded at run time, so no library names them.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, qt6-image-formats-plugins, libqt6svg6, fonts-noto-color-emoji")
# Qt's own dialogs (file chooser, message boxes) in the user's language.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
