# Include roots by layer. Every header is named "<layer>/<file>.h"; a layer's
# root is a folder in the build tree holding only a link to that layer's
# folder, so a target sees the headers of exactly the layers it links (the
# roots travel with target_link_libraries) and an include that breaks the
# layer table fails to compile.
#
# The layers, lowest first, and what each may use (its include roots):
#   sharemem/  the standard library
#   port/      the standard library and the platform (Win32 or POSIX)
#   common/    sharemem/, port/
#   filter/    common/
#   ui/        port/, the platform
#   forms/     ui/, filter/, common/
#   plugin/    filter/, common/, forms/
#   host/      common/, port/, the library's export declarations

# Sets `out` to the include root of the layer in the folder `layer`.
function(veltrin_layer_root out layer)
  set(root ${CMAKE_BINARY_DIR}/layers/${layer})
  if(NOT EXISTS ${root}/${layer})
    file(MAKE_DIRECTORY ${root})
    file(CREATE_LINK ${CMAKE_SOURCE_DIR}/${layer} ${root}/${layer} SYMBOLIC)
  endif()
  set(${out} ${root} PARENT_SCOPE)
endfunction()

# Sets `out` to an include root named `view` that shows one header of a
# layer, `<layer>/<file>`, and nothing else of it.
function(veltrin_header_root out view layer file)
  set(root ${CMAKE_BINARY_DIR}/layers/${view})
  if(NOT EXISTS ${root}/${layer}/${file})
    file(MAKE_DIRECTORY ${root}/${layer})
    file(CREATE_LINK ${CMAKE_SOURCE_DIR}/${layer}/${file} ${root}/${layer}/${file} SYMBOLIC)
  endif()
  set(${out} ${root} PARENT_SCOPE)
endfunction()
