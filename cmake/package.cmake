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
install(FILES ${CMAKE_SOURCE_DIR}/examples/veltrin-example.flt ${CMAKE_SOURCE_DIR}/examples/history.txt
        DESTINATION ${VELTRIN_INSTALL_BIN}/examples)
install(FILES ${CMAKE_SOURCE_DIR}/include/veltrin.h DESTINATION ${VELTRIN_INSTALL_INCLUDE})
install(FILES ${CMAKE_SOURCE_DIR}/examples/c-host/c_host.c
        DESTINATION ${VELTRIN_INSTALL_DOC}/examples/c-host)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/README.txt DESTINATION ${VELTRIN_INSTALL_DOC})
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
