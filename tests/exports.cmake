# Checks that each class library exports its four entry points and nothing else.
#   cmake -DNM=nm -DLIBRARIES="a.so;b.so" -P exports.cmake
set(expected DllCanUnloadNow DllGetClassObject DllRegisterServer DllUnregisterServer)
foreach(library IN LISTS LIBRARIES)
  execute_process(COMMAND ${NM} -D --defined-only --format=posix ${library}
                  OUTPUT_VARIABLE listing RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "${NM} cannot read ${library}")
  endif()
  string(REGEX MATCHALL "(^|\n)[^ \n]+" names "${listing}")
  list(TRANSFORM names STRIP)
  list(SORT names)
  if(NOT names STREQUAL expected)
    list(LENGTH names count)
    message(FATAL_ERROR "${library} exports ${count} symbols, not the four entry points alone:\n${listing}")
  endif()
  message(STATUS "${library}: ${names}")
endforeach()
