# The engine's public headers, listed once: the umbrella headers
# include/tarvo/tarvo.h and scripted.h name what a game uses, and every header
# those reach through #include "..." is public too. The install rules and the
# API reference both take their list from here.
#
# include()d: defines tarvo_public_headers(<variable>), which sets <variable>
# to the headers' paths from the project's root (the umbrella headers
# themselves not among them).
# Run as `cmake -P cmake/TarvoPublicHeaders.cmake` from the root: prints the
# list as doxygen INPUT lines, for `make docs`.

if(CMAKE_SCRIPT_MODE_FILE)
  cmake_minimum_required(VERSION 3.25)
endif()

set(TARVO_UMBRELLA_HEADERS include/tarvo/tarvo.h include/tarvo/scripted.h)

function(tarvo_public_headers out)
  get_filename_component(root "${CMAKE_CURRENT_FUNCTION_LIST_DIR}/.." ABSOLUTE)
  set(pending ${TARVO_UMBRELLA_HEADERS})
  set(found "")
  while(pending)
    list(POP_FRONT pending header)
    get_filename_component(folder "${header}" DIRECTORY)
    file(STRINGS "${root}/${header}" lines REGEX "^#include \"[^\"]+\"")
    foreach(line IN LISTS lines)
      string(REGEX REPLACE "^#include \"([^\"]+)\".*" "\\1" name "${line}")
      # Headers name each other relatively (as installed) or from the root
      # (as the umbrella does); the one that exists is the one meant.
      cmake_path(APPEND folder "${name}" OUTPUT_VARIABLE beside)
      cmake_path(NORMAL_PATH beside)
      if(EXISTS "${root}/${beside}" AND NOT beside MATCHES "^\\.\\./")
        set(path "${beside}")
      elseif(EXISTS "${root}/${name}")
        set(path "${name}")
      else()
        # tarvo/version.h: made by the build, installed beside the umbrella.
        continue()
      endif()
      if(NOT path IN_LIST found AND NOT path IN_LIST TARVO_UMBRELLA_HEADERS)
        list(APPEND found "${path}")
        list(APPEND pending "${path}")
      endif()
    endforeach()
  endwhile()
  list(SORT found)
  if(NOT CMAKE_SCRIPT_MODE_FILE)
    # A header that comes to include another changes the list: configure again.
    set(read ${TARVO_UMBRELLA_HEADERS} ${found})
    list(TRANSFORM read PREPEND "${root}/")
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${read})
  endif()
  set(${out} ${found} PARENT_SCOPE)
endfunction()

if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
  tarvo_public_headers(headers)
  list(TRANSFORM headers PREPEND "INPUT += ")
  string(JOIN "\n" lines ${headers})
  # On standard output, where message() would not put it.
  execute_process(COMMAND ${CMAKE_COMMAND} -E echo "${lines}")
endif()
