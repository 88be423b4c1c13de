# cmake -DSTAGE=... -DVERSION=... -DOUT=... -DMAKENSIS=... -DICON=... -P packages.cmake
# Makes of the program's folder STAGE/Zibbles (laid out by `cmake --install`)
# OUT/zibbles-VERSION-win64.zip and OUT/zibbles-VERSION-setup.exe. Each is
# written beside its place and moved there when complete.
set(folder ${STAGE}/Zibbles)
if(NOT EXISTS ${folder}/zibbles.exe)
  message(FATAL_ERROR "${folder} holds no zibbles.exe")
endif()

# The uninstaller removes exactly the files the installer put there, deepest
# folders last; anything the user added stays.
file(GLOB_RECURSE files RELATIVE ${folder} ${folder}/*)
file(GLOB_RECURSE dirs RELATIVE ${folder} LIST_DIRECTORIES true ${folder}/*)
list(REMOVE_ITEM dirs ${files})
list(SORT dirs ORDER DESCENDING)
set(list "")
foreach(f IN LISTS files)
  string(REPLACE "/" "\\" f "${f}")
  string(APPEND list "  Delete \"$INSTDIR\\${f}\"\n")
endforeach()
foreach(d IN LISTS dirs)
  string(REPLACE "/" "\\" d "${d}")
  string(APPEND list "  RMDir \"$INSTDIR\\${d}\"\n")
endforeach()
file(WRITE ${STAGE}/uninstall-files.nsh "${list}")

function(zibbles_replace tmp final)
  file(RENAME ${tmp} ${final})
  message(STATUS "Made ${final}")
endfunction()

set(zip ${OUT}/zibbles-${VERSION}-win64.zip)
execute_process(COMMAND ${CMAKE_COMMAND} -E tar cf ${zip}.part --format=zip Zibbles
  WORKING_DIRECTORY ${STAGE} RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "Cannot make ${zip}")
endif()
zibbles_replace(${zip}.part ${zip})

set(setup ${OUT}/zibbles-${VERSION}-setup.exe)
execute_process(COMMAND ${MAKENSIS} -V2 -NOCD
    -DVERSION=${VERSION} -DFOLDER=${folder} -DUNINSTALL_FILES=${STAGE}/uninstall-files.nsh
    -DICON=${ICON} -DOUTFILE=${setup}.part
    ${CMAKE_CURRENT_LIST_DIR}/zibbles.nsi
  RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "Cannot make ${setup}")
endif()
zibbles_replace(${setup}.part ${setup})
