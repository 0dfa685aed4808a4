# Holds a built library's export table to the export list: every name the
# list holds is exported under its plain name and nothing else is.
#   cmake -DLIBRARY=<file> -DTOOL=<nm or objdump> -DKIND=<elf|pe>
#         -DSOURCE_DIR=<source tree> -P check-exports.cmake
set(CMAKE_SOURCE_DIR ${SOURCE_DIR})
include(${SOURCE_DIR}/cmake/export-list.cmake)
veltrin_read_export_list(expected decorated)

if(KIND STREQUAL "elf")
  execute_process(COMMAND ${TOOL} -D --defined-only ${LIBRARY} OUTPUT_VARIABLE table
                  RESULT_VARIABLE failed)
  # "address type name": only code and data count as exports.
  string(REGEX MATCHALL "[0-9a-f]+ [TDBRW] [^\n]+" lines "${table}")
  set(actual)
  foreach(line ${lines})
    string(REGEX REPLACE "^[0-9a-f]+ [TDBRW] ([^@\n]+).*" "\\1" name "${line}")
    list(APPEND actual ${name})
  endforeach()
else()
  execute_process(COMMAND ${TOOL} -p ${LIBRARY} OUTPUT_VARIABLE table RESULT_VARIABLE failed)
  # The name table: "[ordinal] name" lines after its heading.
  string(FIND "${table}" "[Ordinal/Name Pointer] Table" at)
  if(at LESS 0)
    message(FATAL_ERROR "${LIBRARY}: no export name table")
  endif()
  string(SUBSTRING "${table}" ${at} -1 table)
  string(REGEX MATCHALL "\n[\t ]+\\[ *[0-9]+\\] [^\n]+" lines "${table}")
  set(actual)
  foreach(line ${lines})
    string(REGEX REPLACE "^\n[\t ]+\\[ *[0-9]+\\] ([^\n]+)" "\\1" name "${line}")
    list(APPEND actual ${name})
  endforeach()
endif()
if(failed)
  message(FATAL_ERROR "${TOOL} cannot read ${LIBRARY}")
endif()

list(SORT expected)
list(SORT actual)
list(REMOVE_DUPLICATES actual)
set(missing ${expected})
list(REMOVE_ITEM missing ${actual})
set(extra ${actual})
list(REMOVE_ITEM extra ${expected})
if(missing OR extra)
  message(FATAL_ERROR "${LIBRARY} differs from plugin/export_list.h\n"
                      "  not exported: ${missing}\n  exported beyond the list: ${extra}")
endif()
list(LENGTH actual count)
message(STATUS "${LIBRARY}: the ${count} exports of the list and nothing else")
