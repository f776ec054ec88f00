# Checks that the platform libraries export none of their internals: nothing of a detail
# namespace but the object count every object's constructor reaches, nothing of a
# pimpl, nothing of the SQLite helpers.
#   cmake -DNM=nm -DLIBRARIES="a.so;b.so" -P platform_exports.cmake
cmake_minimum_required(VERSION 3.25)
set(allowed "com::detail::objectCreated()" "com::detail::objectDestroyed()")
foreach(library IN LISTS LIBRARIES)
  execute_process(COMMAND ${NM} -DC --defined-only --format=posix ${library}
                  OUTPUT_VARIABLE listing RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "${NM} cannot read ${library}")
  endif()
  string(REPLACE "\n" ";" lines "${listing}")
  set(internal "")
  foreach(line IN LISTS lines)
    string(REGEX REPLACE " [A-Za-z] [0-9a-f]+( [0-9a-f]+)?$" "" name "${line}")
    if(name MATCHES "^(com|ado)::(.*::)?(detail|Impl)::|^ado::sqlite" AND NOT name IN_LIST allowed)
      list(APPEND internal "${name}")
    endif()
  endforeach()
  list(LENGTH lines count)
  if(internal)
    list(JOIN internal "\n" shown)
    message(FATAL_ERROR "${library} exports internals:\n${shown}")
  endif()
  message(STATUS "${library}: ${count} symbols, no internals")
endforeach()
