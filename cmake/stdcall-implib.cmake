include_guard(GLOBAL)
# Import libraries for DLLs that export undecorated __stdcall names.
#
# With --kill-at, ld strips the @n suffix from the import library's symbols
# as well as from the exports, so callers (which reference _Name@n) cannot
# link. dlltool -k keeps the decorated symbols in the import library while
# importing the plain names; it replaces ld's import library after the link.
if(WIN32 AND NOT CMAKE_DLLTOOL)
  find_program(CMAKE_DLLTOOL NAMES ${CMAKE_SYSTEM_PROCESSOR}-w64-mingw32-dlltool dlltool REQUIRED)
endif()

function(veltrin_stdcall_import_library target def_file)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    # 64-bit Windows decorates no names (cmake/mingw-x86_64.cmake, for the
    # tests only): the import library takes the names without "@n".
    file(READ ${def_file} def_text)
    string(REGEX REPLACE "@[0-9]+" "" def_text "${def_text}")
    set(def_file ${CMAKE_CURRENT_BINARY_DIR}/${target}-plain.def)
    file(WRITE ${def_file} "${def_text}")
  endif()
  add_custom_command(
    TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_DLLTOOL} -k -d ${def_file} -D $<TARGET_FILE_NAME:${target}>
            -l $<TARGET_LINKER_FILE:${target}>
    COMMENT "Import library of ${target} with decorated __stdcall symbols"
    VERBATIM)
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${def_file})
endfunction()
