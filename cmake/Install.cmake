# The installed layout (cmake --install, and the Debian package made from it):
#   bin/tallix                 the program
#   lib/tallix/                its companions: the window, tallix-fetch, the image decoders
#   share/tallix/              what it ships, read-only: skins, rates, unit names, help, click
#   share/applications, share/metainfo, share/icons/hicolor, share/man/man1
# The program finds share/tallix and lib/tallix relative to its own folder
# (platform/UserFolders.cpp), so the tree may be installed under any prefix.
include(GNUInstallDirs)
set(TALLIX_INSTALL_DATA ${CMAKE_INSTALL_DATADIR}/tallix)
set(TALLIX_INSTALL_COMPANIONS ${CMAKE_INSTALL_LIBDIR}/tallix)
set(desktop ${CMAKE_SOURCE_DIR}/resources/desktop)
set(TALLIX_APP_ID io.github.tallix.Tallix)

install(TARGETS tallix RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS tallix-fetch RUNTIME DESTINATION ${TALLIX_INSTALL_COMPANIONS})
foreach(module tallix_window_module tallix_image_decoders)
  if(TARGET ${module})
    install(TARGETS ${module} LIBRARY DESTINATION ${TALLIX_INSTALL_COMPANIONS})
  endif()
endforeach()

install(DIRECTORY ${TALLIX_RUNTIME_DIR}/Skins ${TALLIX_RUNTIME_DIR}/Currency
  DESTINATION ${TALLIX_INSTALL_DATA} PATTERN .stamp EXCLUDE)
install(FILES ${TALLIX_RUNTIME_DIR}/UnitLib.txt ${TALLIX_RUNTIME_DIR}/click.wav DESTINATION ${TALLIX_INSTALL_DATA})
install(DIRECTORY ${TALLIX_RUNTIME_DIR}/ DESTINATION ${TALLIX_INSTALL_DATA} FILES_MATCHING PATTERN "Tallix*.htm" PATTERN "Tallix.css"
  PATTERN Skins EXCLUDE PATTERN Currency EXCLUDE PATTERN .shipped EXCLUDE)

install(FILES ${desktop}/${TALLIX_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${desktop}/${TALLIX_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${desktop}/icons/tallix.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size 16 24 32 48 64 128 256)
  install(FILES ${desktop}/icons/tallix-${size}.png DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
    RENAME tallix.png)
endforeach()

# Manual page and Debian's changelog, compressed as Debian wants them.
find_program(GZIP gzip)
set(compressed ${CMAKE_BINARY_DIR}/compressed)
add_custom_command(OUTPUT ${compressed}/tallix.1.gz ${compressed}/changelog.Debian.gz
  COMMAND ${CMAKE_COMMAND} -E make_directory ${compressed}
  COMMAND ${GZIP} -9nc ${CMAKE_SOURCE_DIR}/resources/man/tallix.1 > ${compressed}/tallix.1.gz
  COMMAND ${GZIP} -9nc ${CMAKE_SOURCE_DIR}/resources/debian/changelog > ${compressed}/changelog.Debian.gz
  DEPENDS ${CMAKE_SOURCE_DIR}/resources/man/tallix.1 ${CMAKE_SOURCE_DIR}/resources/debian/changelog)
add_custom_target(tallix_compressed_docs ALL DEPENDS ${compressed}/tallix.1.gz ${compressed}/changelog.Debian.gz)
install(FILES ${compressed}/tallix.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${CMAKE_SOURCE_DIR}/resources/debian/copyright ${compressed}/changelog.Debian.gz
  DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/tallix)

# The Debian package (scripts/package.sh).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tallix)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "The Tallix developers <tallix@users.noreply.github.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "skinnable calculator with unit, currency and tip converters")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Tallix is a small desktop calculator drawn entirely from a skin, with an
expression engine, four calculator modes (Algebraic, D.A.L., Chain, R.P.N.),
a unit converter, a clothing-size converter, a currency converter with
downloadable rates and a tip calculator, in eight languages. Its terminal
commands calculate and convert without opening a window.")
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION math)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://github.com/tallix/tallix)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded at run time rather than linked, so shlibdeps cannot see them: the
# rates download (libcurl, libxml2), the click (ALSA), line editing (libedit),
# the window's platform plugins (X11 and Wayland) and a font for the skins.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
  "libcurl4, libxml2, libasound2, libedit2, qt6-qpa-plugins, qt6-wayland, fonts-dejavu-core")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
include(CPack)
