# The include roots that keep the layers apart.
#
# Each library of src/ has an include root of its own in the build tree: a
# folder that holds, under the library's folder name, one forwarding header
# for each header of that folder (its subfolders are other libraries). Code
# that links the library includes its headers as "<folder>/name.h" and finds
# no other header of src/, so an include against the layers (core of the
# platform layer, a subsystem of the app, anything but a factory of an
# implementation) does not compile. tests/layers proves it.

# zibbles_include_root(<target> <folder below src/>)
function(zibbles_include_root target folder)
  set(root ${CMAKE_BINARY_DIR}/include/${target})
  file(MAKE_DIRECTORY ${root})
  file(GLOB headers CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/${folder}/*.h)
  file(GLOB stale ${root}/${folder}/*.h)
  foreach(header IN LISTS headers)
    get_filename_component(name ${header} NAME)
    list(REMOVE_ITEM stale ${root}/${folder}/${name})
    file(CONFIGURE OUTPUT ${root}/${folder}/${name} CONTENT "#include \"${header}\"\n" @ONLY)
  endforeach()
  if(stale)
    file(REMOVE ${stale})
  endif()
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "INTERFACE_LIBRARY")
    target_include_directories(${target} INTERFACE ${root})
  else()
    target_include_directories(${target} PUBLIC ${root})
  endif()
endfunction()
