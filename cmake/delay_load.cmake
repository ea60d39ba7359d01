# Delay-loaded DLLs: the loader maps and initialises every DLL of a program's
# import table before the program's first instruction, so a DLL that only a
# click (or a later step of the start-up) needs is better loaded on first use.
# The program still calls its functions as imports; the first call loads the
# DLL (from System32, as the program restricts the search) and binds them.
#
# MSVC does it with /DELAYLOAD and delayimp.lib. MinGW-w64 does it with a
# delay-load import library that dlltool makes from a module definition; the
# definition is read from the toolchain's own import library, so that every
# function of the DLL is covered. The ordinary import library stays on the
# link line after it: a function the definition lacked would still link, as
# an ordinary import.
function(kanaroute_delay_load target)
  if(MSVC)
    foreach(dll IN LISTS ARGN)
      target_link_options(${target} PRIVATE /DELAYLOAD:${dll}.dll)
    endforeach()
    target_link_libraries(${target} PRIVATE delayimp)
    return()
  endif()
  if(NOT MINGW OR NOT CMAKE_DLLTOOL OR NOT CMAKE_NM)
    return()
  endif()
  set(folder ${CMAKE_BINARY_DIR}/delay-load)
  file(MAKE_DIRECTORY ${folder})
  foreach(dll IN LISTS ARGN)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=lib${dll}.a
                    OUTPUT_VARIABLE import_library OUTPUT_STRIP_TRAILING_WHITESPACE)
    execute_process(COMMAND ${CMAKE_NM} ${import_library} OUTPUT_VARIABLE symbols ERROR_QUIET)
    string(REGEX MATCHALL " I __imp_[^\r\n]+" entries "${symbols}")
    set(names "")
    foreach(entry IN LISTS entries)
      string(REPLACE " I __imp_" "" name "${entry}")
      if(CMAKE_SIZEOF_VOID_P EQUAL 4)
        string(REGEX REPLACE "^_" "" name "${name}") # the 32-bit C name's underscore
      endif()
      list(APPEND names "${name}")
    endforeach()
    list(REMOVE_DUPLICATES names)
    if(NOT names)
      message(WARNING "No functions found in ${import_library}: ${dll}.dll is loaded at start")
      continue()
    endif()
    list(JOIN names "\n" exports)
    file(WRITE ${folder}/${dll}.def "LIBRARY ${dll}.dll\nEXPORTS\n${exports}\n")
    set(kill_at "")
    if(CMAKE_SIZEOF_VOID_P EQUAL 4)
      set(kill_at --kill-at) # the DLL's names carry no @size
    endif()
    execute_process(COMMAND ${CMAKE_DLLTOOL} --input-def ${folder}/${dll}.def --dllname ${dll}.dll
                            ${kill_at} --output-delaylib ${folder}/lib${dll}-delay.a
                    RESULT_VARIABLE made ERROR_VARIABLE problem)
    if(NOT made EQUAL 0)
      message(WARNING "dlltool could not make a delay-load library for ${dll}.dll: ${problem}")
      continue()
    endif()
    target_link_libraries(${target} PRIVATE ${folder}/lib${dll}-delay.a)
  endforeach()
endfunction()
