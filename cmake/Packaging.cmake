# Installation into a desktop's standard places, and the Debian package built from it.
include(GNUInstallDirs)

install(TARGETS lintaro lintaro-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${PROJECT_SOURCE_DIR}/packaging/lintaro.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/src/app/resources/lintaro_icon.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/64x64/apps RENAME lintaro.png)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/lintaro.svg
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

set(CPACK_PACKAGE_NAME lintaro)
set(CPACK_PACKAGE_VENDOR "Lintaro developers")
set(CPACK_PACKAGE_CONTACT "Lintaro developers <lintaro@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Harvest regular-expression matches from files")
set(CPACK_PACKAGE_DESCRIPTION
    "Lintaro runs a regular expression over the text of a dropped file, lists every match\n"
    "in a table and exports chosen cells as a link page, a link list, plain text or HTML\n"
    "tables. Includes the batch program lintaro-cli.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
# Library dependencies come from the binaries themselves; the rest are what the libraries do
# not name: Qt's X11 and Wayland platform plugins, and a font that has the Chinese captions.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, qt6-translations-l10n, fonts-wqy-microhei | fonts-noto-cjk")
include(CPack)
