# What `cmake --install` puts where, and the Debian package CPack makes of it:
# the program with its sound module, its menu entry and icon, and the
# live-share server with a systemd unit that a club can enable.
include(GNUInstallDirs)

install(TARGETS zibbles RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The program looks for its sound module in ../lib/zibbles/ from its own folder.
install(TARGETS zibbles_sound LIBRARY DESTINATION lib/zibbles)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/zibbles.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_SOURCE_DIR}/src/app/pictures/tray-enabled.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps RENAME zibbles.svg)

install(TARGETS zibbles-share-server RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The unit names the server by the prefix of this install (/usr in the package).
install(CODE "
  set(ZIBBLES_BIN_DIR \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
  configure_file(\"${CMAKE_CURRENT_LIST_DIR}/zibbles-share-server.service.in\"
                 \"${CMAKE_BINARY_DIR}/zibbles-share-server.service\" @ONLY)")
install(FILES ${CMAKE_BINARY_DIR}/zibbles-share-server.service DESTINATION lib/systemd/system)
# The sample site for nginx in front of the server (README: behind nginx with TLS).
install(FILES ${CMAKE_CURRENT_LIST_DIR}/nginx-zibbles-share.conf DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zibbles)
set(CPACK_PACKAGE_VENDOR "Quillmere")
set(CPACK_PACKAGE_CONTACT "Zibbles developers <zibbles@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "chat macros for the There client on function keys")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Zibbles binds short scripts to the function keys and types them into the There client's chat window: "
    "chat lines, emotes, delays, sounds and loops. Includes zibbles-share-server, the live-share server a club "
    "can host (systemd unit zibbles-share-server, not enabled by default).")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
# Library dependencies come from dpkg-shlibdeps (libqt6gui6 brings the X11
# platform plugin, libqt6svg6 the SVG image plugin); GStreamer's plugins play
# the sounds.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "gstreamer1.0-plugins-good, gstreamer1.0-plugins-base")
include(CPack)
