# The Windows program as users get it. `cmake --install` lays out its folder:
# zibbles.exe with the DLLs it loads (Qt, QScintilla, the compiler's runtime)
# as they were built, Qt's windows platform and style plugins, empty media
# and ScreenShots folders, and the licences of what it ships. The target
# windows-packages makes of that folder the portable zip and the installer:
# build-win/zibbles-<version>-win64.zip and build-win/zibbles-<version>-setup.exe.
install(TARGETS zibbles RUNTIME DESTINATION .)
install(FILES
  $<TARGET_FILE:Qt6::Core> $<TARGET_FILE:Qt6::Gui> $<TARGET_FILE:Qt6::Widgets>
  $<TARGET_FILE:QScintilla::QScintilla>
  ${ZIBBLES_WIN_SDK}/bin/libgcc_s_seh-1.dll
  ${ZIBBLES_WIN_SDK}/bin/libstdc++-6.dll
  ${ZIBBLES_WIN_SDK}/bin/libwinpthread-1.dll
  DESTINATION .)
install(FILES $<TARGET_FILE:Qt6::QWindowsIntegrationPlugin> DESTINATION platforms)
install(FILES $<TARGET_FILE:Qt6::QWindowsVistaStylePlugin> DESTINATION styles)
# Sounds and screenshots have their folders from the start (the program makes
# the set folders itself, but never these).
install(DIRECTORY DESTINATION media)
install(DIRECTORY DESTINATION ScreenShots)

# The licences, and where the source of each DLL comes from: the Debian 12
# source packages that the Windows SDK was built from, named in its recipe.
file(STRINGS ${ZIBBLES_WIN_SDK}/recipe sdk_recipe)
function(zibbles_sdk_source_version package variable)
  foreach(line IN LISTS sdk_recipe)
    if(line MATCHES "^[^ ]+ [^ ]+ ${package} ([^ ]+)$")
      set(${variable} ${CMAKE_MATCH_1} PARENT_SCOPE)
      return()
    endif()
  endforeach()
  message(FATAL_ERROR "The Windows SDK's recipe names no source package ${package}")
endfunction()
zibbles_sdk_source_version(qt6-base QT_SOURCE_VERSION)
zibbles_sdk_source_version(qscintilla2 QSCINTILLA_SOURCE_VERSION)
zibbles_sdk_source_version(gcc-mingw-w64 GCC_SOURCE_VERSION)
zibbles_sdk_source_version(mingw-w64 MINGW_SOURCE_VERSION)
configure_file(${CMAKE_CURRENT_LIST_DIR}/windows/licences.txt.in licences/README.txt @ONLY NEWLINE_STYLE CRLF)
install(FILES ${CMAKE_BINARY_DIR}/licences/README.txt DESTINATION licences)
install(FILES /usr/share/doc/libqt6core6/copyright DESTINATION licences RENAME Qt-copyright.txt)
install(FILES /usr/share/doc/libqscintilla2-qt6-15/copyright DESTINATION licences RENAME QScintilla-copyright.txt)
install(FILES /usr/share/doc/gcc-mingw-w64-base/copyright DESTINATION licences RENAME GCC-runtime-copyright.txt)
install(FILES /usr/share/doc/mingw-w64-x86-64-dev/copyright DESTINATION licences RENAME winpthreads-copyright.txt)
foreach(licence LGPL-3 GPL-3 GPL-2)
  install(FILES /usr/share/common-licenses/${licence} DESTINATION licences RENAME ${licence}.txt)
endforeach()

find_program(MAKENSIS makensis)
if(NOT MAKENSIS)
  message(FATAL_ERROR "makensis not found: scripts/setup --windows installs it (Debian package nsis)")
endif()
set(stage ${CMAKE_BINARY_DIR}/package)
set(packages ${CMAKE_BINARY_DIR}/zibbles-${PROJECT_VERSION}-win64.zip ${CMAKE_BINARY_DIR}/zibbles-${PROJECT_VERSION}-setup.exe)
add_custom_command(OUTPUT ${packages}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${stage}
  COMMAND ${CMAKE_COMMAND} --install ${CMAKE_BINARY_DIR} --prefix ${stage}/Zibbles
  COMMAND ${CMAKE_COMMAND} -DSTAGE=${stage} -DVERSION=${PROJECT_VERSION}
    -DOUT=${CMAKE_BINARY_DIR} -DMAKENSIS=${MAKENSIS} -DICON=${CMAKE_BINARY_DIR}/src/app/zibbles.ico
    -P ${CMAKE_CURRENT_LIST_DIR}/windows/packages.cmake
  DEPENDS zibbles ${CMAKE_CURRENT_LIST_FILE} ${CMAKE_BINARY_DIR}/licences/README.txt
    ${CMAKE_CURRENT_LIST_DIR}/windows/packages.cmake ${CMAKE_CURRENT_LIST_DIR}/windows/zibbles.nsi
  VERBATIM)
add_custom_target(windows-packages ALL DEPENDS ${packages})
