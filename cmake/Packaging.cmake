# Installation in the usual tree under the prefix, and the Debian package.
#
# An installed program finds its help and the default preference files under
# ../share/quorvane beside its bin/ folder and keeps the user's own files in the
# user's folders; so the tree below is fixed (bin/ and share/), not taken from
# GNUInstallDirs, whose folders a distribution may move.

set(QUORVANE_SHARE share/quorvane)
install(TARGETS quorvane quorvane-cli RUNTIME DESTINATION bin)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/resources/Help ${PROJECT_SOURCE_DIR}/resources/Tutorial
        DESTINATION ${QUORVANE_SHARE})
install(FILES ${PROJECT_SOURCE_DIR}/resources/defaults/Pref.PRF ${PROJECT_SOURCE_DIR}/resources/defaults/WorkDir.DIR
        DESTINATION ${QUORVANE_SHARE})

# The launcher, the document type and the description for software centres.
set(desktop ${PROJECT_SOURCE_DIR}/resources/desktop)
install(FILES ${desktop}/org.example.quorvane.desktop DESTINATION share/applications)
install(FILES ${desktop}/org.example.quorvane.metainfo.xml DESTINATION share/metainfo)
install(FILES ${desktop}/quorvane.xml DESTINATION share/mime/packages)
install(FILES ${PROJECT_SOURCE_DIR}/resources/icons/quorvane.svg DESTINATION share/icons/hicolor/scalable/apps)
foreach(size 16 24 32 48 64 128 256)
  install(FILES ${PROJECT_SOURCE_DIR}/resources/icons/quorvane-${size}.png
          DESTINATION share/icons/hicolor/${size}x${size}/apps RENAME quorvane.png)
endforeach()

# cpack -G DEB: the dependencies are read from the programs' shared libraries
# by dpkg-shlibdeps. The menu, icon and MIME caches are refreshed by the
# triggers of the packages that own them, so no maintainer scripts are needed.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quorvane)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR Quorvane)
set(CPACK_PACKAGE_CONTACT "Quorvane maintainers <maintainers@quorvane.example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "two-dimensional potential flow round obstacles")
set(CPACK_PACKAGE_DESCRIPTION
    "Quorvane draws rectangular and circular sections and aerofoils on a square
mesh in a uniform stream, solves for the stream function and shows the flow
lines or a map of the pressure. quorvane-cli solves a document from the
command line.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://quorvane.example.org/)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
include(CPack)
