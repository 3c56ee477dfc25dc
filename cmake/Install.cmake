# Installation and the Debian package.
#
#   cmake --install build [--prefix DIR]   the program, its desktop entry, icons and metainfo
#   cd build && cpack -G DEB               a .deb of the same files under /usr
#
# The desktop entry and the metainfo file are named after the application id, so
# that software centres can tie the two together; the icon keeps the program's name.

include(GNUInstallDirs)

set(TAVIK_APP_ID "example.tavik.TavikSearch" CACHE STRING
    "Reverse-DNS application id: names the desktop entry and the metainfo file")

install(TARGETS tavik-search RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS tavik_web_engine LIBRARY DESTINATION ${TAVIK_ENGINE_MODULE_DIR})

install(FILES ${CMAKE_SOURCE_DIR}/packaging/tavik-search.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications
        RENAME ${TAVIK_APP_ID}.desktop)

configure_file(${CMAKE_SOURCE_DIR}/packaging/tavik-search.metainfo.xml.in
               ${CMAKE_BINARY_DIR}/packaging/${TAVIK_APP_ID}.metainfo.xml @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/packaging/${TAVIK_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

foreach(size 16x16 32x32 48x48 128x128)
  install(FILES ${CMAKE_SOURCE_DIR}/resources/icons/${size}/tavik-search.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}/apps)
endforeach()

# Debian package. dpkg-shlibdeps finds the libraries the program links to; what
# it loads or runs only at run time has to be named here:
# - the two CJK fonts the fixed layout of the windows is drawn for;
# - bubblewrap and xdg-dbus-proxy, without which the web engine will not start
#   its sandboxed web content processes.
# The hicolor icon cache and the desktop database are refreshed by the triggers
# of the packages that own them, so no maintainer scripts are needed.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tavik-search)
set(CPACK_PACKAGE_VENDOR "Pellin")
set(CPACK_PACKAGE_CONTACT "Pellin <pellin@tavik.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Film search tool with a built-in web view")
set(CPACK_PACKAGE_DESCRIPTION
    "Type a film name and click Search: the search service's results open in the\n program's web view, where the film can be watched online.")
set(CPACK_PACKAGE_HOMEPAGE_URL "${TAVIK_SITE_ADDRESS}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-wqy-zenhei, fonts-arphic-uming, bubblewrap, xdg-dbus-proxy")
include(CPack)
