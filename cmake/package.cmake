# What `cmake --install` puts in a prefix, and the Windows package (CPack,
# one zip). The program, its plug-in library and the shared memory module
# share one folder: the host loads the library from beside itself and the
# library finds its module beside itself ($ORIGIN natively, its own folder
# on Windows). The example data stays beside them, where the host looks.
include(GNUInstallDirs)
if(WIN32)
  # An unpacked zip is one application folder.
  set(VELTRIN_INSTALL_BIN .)
  set(VELTRIN_INSTALL_INCLUDE include)
  set(VELTRIN_INSTALL_DOC .)
else()
  set(VELTRIN_INSTALL_BIN ${CMAKE_INSTALL_BINDIR})
  set(VELTRIN_INSTALL_INCLUDE ${CMAKE_INSTALL_INCLUDEDIR})
  set(VELTRIN_INSTALL_DOC ${CMAKE_INSTALL_DOCDIR})
endif()

foreach(target veltrin veltrin_sharemem veltrin-host c_host)
  if(TARGET ${target})
    install(TARGETS ${target} RUNTIME DESTINATION ${VELTRIN_INSTALL_BIN}
                              LIBRARY DESTINATION ${VELTRIN_INSTALL_BIN})
  endif()
endforeach()
# Text a player opens in Notepad: UTF-8 with a byte order mark and CR LF
# line ends (older Notepads show LF-only text as one line, and Notepad on a
# Chinese Windows reads UTF-8 without a mark as GBK). Made from the
# repository's copy when CMake configures.
function(veltrin_notepad_text source target)
  file(READ ${source} text)
  string(ASCII 239 187 191 bom)
  string(REGEX REPLACE "^${bom}" "" text "${text}")
  string(REPLACE "\r\n" "\n" text "${text}")
  string(REPLACE "\n" "\r\n" text "${text}")
  file(WRITE ${target} "${bom}${text}")
  set_property(DIRECTORY ${CMAKE_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${source})
endfunction()
set(VELTRIN_PACKAGE_FILES ${CMAKE_BINARY_DIR}/package-files)
configure_file(${CMAKE_SOURCE_DIR}/packaging/README.txt ${VELTRIN_PACKAGE_FILES}/README.in.txt @ONLY)
veltrin_notepad_text(${VELTRIN_PACKAGE_FILES}/README.in.txt ${VELTRIN_PACKAGE_FILES}/README.txt)

# The examples' comments name the generator in the source tree, which the
# package does not carry; the packaged copies say what it did instead. The
# files are edited as bytes (file(READ) as text would drop their CRs, and
# the setting is GBK).
function(veltrin_replace_bytes source target)
  file(READ ${source} hex HEX)
  set(pairs ${ARGN})
  while(pairs)
    list(POP_FRONT pairs from to)
    string(HEX "${from}" fromHex)
    string(HEX "${to}" toHex)
    # Anchored at a whole byte: "(..)*" before the match.
    string(REGEX REPLACE "^((..)*)${fromHex}" "\\1${toHex}" hex "${hex}")
  endwhile()
  string(LENGTH "${hex}" digits)
  math(EXPR last "${digits} / 2 - 1")
  set(bytes "")
  foreach(i RANGE 0 ${last})
    math(EXPR at "${i} * 2")
    string(SUBSTRING "${hex}" ${at} 2 byte)
    math(EXPR code "0x${byte}")
    string(ASCII ${code} char)
    string(APPEND bytes "${char}")
  endforeach()
  file(WRITE ${target} "${bytes}")
  set_property(DIRECTORY ${CMAKE_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${source})
endfunction()
veltrin_replace_bytes(${CMAKE_SOURCE_DIR}/examples/veltrin-example.flt
                      ${VELTRIN_PACKAGE_FILES}/examples/veltrin-example.flt
                      "made by make_examples.py" "made once from a fixed seed")
veltrin_replace_bytes(${CMAKE_SOURCE_DIR}/examples/history.txt
                      ${VELTRIN_PACKAGE_FILES}/examples/history.txt
                      "examples/make_examples.py from" "a program from")
install(FILES ${VELTRIN_PACKAGE_FILES}/examples/veltrin-example.flt
              ${VELTRIN_PACKAGE_FILES}/examples/history.txt
        DESTINATION ${VELTRIN_INSTALL_BIN}/examples)
install(FILES ${CMAKE_SOURCE_DIR}/include/veltrin.h DESTINATION ${VELTRIN_INSTALL_INCLUDE})
install(FILES ${CMAKE_SOURCE_DIR}/examples/c-host/c_host.c
        DESTINATION ${VELTRIN_INSTALL_DOC}/examples/c-host)
install(FILES ${VELTRIN_PACKAGE_FILES}/README.txt DESTINATION ${VELTRIN_INSTALL_DOC})
# The help page the dialogs open when the host has none: beside the
# programs, where the settings dialog looks for it.
install(FILES ${CMAKE_SOURCE_DIR}/help/veltrin-help.html DESTINATION ${VELTRIN_INSTALL_BIN})
if(WIN32)
  # For hosts that link instead of loading: dlltool -k -d veltrin.def.
  install(FILES ${VELTRIN_DEF_FILE} DESTINATION ${VELTRIN_INSTALL_BIN})
endif()

set(CPACK_PACKAGE_NAME veltrin)
set(CPACK_PACKAGE_VENDOR "Veltrin developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_GENERATOR ZIP)
set(CPACK_SOURCE_GENERATOR "")
if(WIN32)
  set(CPACK_SYSTEM_NAME win32)
endif()
# The zip unpacks into one folder named after the package.
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
include(CPack)

# The build's programs find the help page where the package puts it.
configure_file(${CMAKE_SOURCE_DIR}/help/veltrin-help.html
               ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/veltrin-help.html COPYONLY)
