# A game's web page, in a browser build (emcmake): the program as NAME.js and
# NAME.wasm, its data folders packed into NAME.data, and beside them the page
# (index.html), its worker, its service worker (the offline copy), the
# manifest and its icons. The page's title, manifest and touch controls come
# from the game's own declaration, which the build reads out of the program.
#
#   tarvo_web_page(TARGET [OUT folder] [DATA Name=folder...] [ICONS folder]
#                  [HELP_HTML file] [DESCRIPTION text])
#
# OUT       the page's folder; default <the target's build folder>/<name>-web
# DATA      folders packed as /Name (the folders the engine reads: Images,
#           Sounds; Touch holds pictures a touch device takes in place of
#           those of the same name in Images). Default: each of Images,
#           Sounds and Touch found beside the program or else beside its
#           CMakeLists.txt.
# ICONS     a folder with icon-192.png and icon-512.png; default: the same
#           two found beside the program or its CMakeLists.txt, else the
#           engine's own.
# HELP_HTML the page's line of help, as HTML; default: the game's help.
# DESCRIPTION  the manifest's; default: the game's help.
#
# TARVO_WEB_FILES names the folder of the page's sources.
include_guard(GLOBAL)

function(tarvo_web_page target)
  cmake_parse_arguments(PARSE_ARGV 1 page "" "OUT;ICONS;HELP_HTML;DESCRIPTION" "DATA")
  get_target_property(name ${target} OUTPUT_NAME)
  if(NOT name)
    set(name ${target})
  endif()
  get_target_property(source_dir ${target} SOURCE_DIR)
  get_target_property(binary_dir ${target} BINARY_DIR)
  if(NOT page_OUT)
    set(page_OUT ${binary_dir}/${name}-web)
  endif()
  set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${page_OUT} SUFFIX ".js")

  set(search ${binary_dir} ${source_dir})
  if(NOT DEFINED page_DATA)
    foreach(folder Images Sounds Touch)
      foreach(where ${search})
        if(IS_DIRECTORY ${where}/${folder})
          list(APPEND page_DATA ${folder}=${where}/${folder})
          break()
        endif()
      endforeach()
    endforeach()
  endif()
  set(packed "")
  foreach(pair ${page_DATA})
    string(REGEX MATCH "^([^=]+)=(.+)$" matched "${pair}")
    if(NOT matched)
      message(FATAL_ERROR "tarvo_web_page(${target}): DATA takes Name=folder, not '${pair}'")
    endif()
    target_link_options(${target} PRIVATE "SHELL:--preload-file ${CMAKE_MATCH_2}@/${CMAKE_MATCH_1}")
    file(GLOB_RECURSE files CONFIGURE_DEPENDS ${CMAKE_MATCH_2}/*)
    list(APPEND packed ${files})
  endforeach()
  set(data OFF)
  if(page_DATA)
    set(data ON)
  endif()

  if(NOT page_ICONS)
    foreach(where ${search})
      if(EXISTS ${where}/icon-192.png AND EXISTS ${where}/icon-512.png)
        set(page_ICONS ${where})
        break()
      endif()
    endforeach()
  endif()

  # The runtime exits with the program, so the page hears the exit code; the
  # program runs in a worker where the browser can give it the canvas, else
  # on the page's main thread.
  target_link_options(${target} PRIVATE -sEXIT_RUNTIME=1 -sALLOW_MEMORY_GROWTH=1 -sENVIRONMENT=web,worker
                      "SHELL:--pre-js ${TARVO_WEB_FILES}/pre.js")
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${TARVO_WEB_FILES}/pre.js ${packed})

  # Node.js, which Emscripten runs on: the emulator its toolchain names, without
  # the options it adds.
  if(CMAKE_CROSSCOMPILING_EMULATOR)
    list(GET CMAKE_CROSSCOMPILING_EMULATOR 0 node)
  else()
    find_program(TARVO_NODE NAMES node nodejs REQUIRED)
    set(node ${TARVO_NODE})
  endif()
  file(GLOB sources CONFIGURE_DEPENDS ${TARVO_WEB_FILES}/page_*.js ${TARVO_WEB_FILES}/page_*.cmake)
  set(outputs ${page_OUT}/index.html ${page_OUT}/game_worker.js ${page_OUT}/manifest.webmanifest
              ${page_OUT}/icon-192.png ${page_OUT}/icon-512.png ${page_OUT}/service_worker.js)
  set(extra "")
  foreach(file ${page_HELP_HTML} ${page_ICONS}/icon-192.png ${page_ICONS}/icon-512.png)
    if(EXISTS ${file})
      list(APPEND extra ${file})
    endif()
  endforeach()
  add_custom_command(OUTPUT ${outputs}
    COMMAND ${CMAKE_COMMAND} -DFILES=${TARVO_WEB_FILES} -DOUT=${page_OUT} -DNAME=${name} -DDATA=${data}
            "-DNODE=${node}" "-DICONS=${page_ICONS}" "-DHELP_HTML=${page_HELP_HTML}"
            "-DDESCRIPTION=${page_DESCRIPTION}" -DJSON=${CMAKE_CURRENT_BINARY_DIR}/${target}.game.json
            -P ${TARVO_WEB_FILES}/page_make.cmake
    DEPENDS ${target} ${sources} ${TARVO_WEB_FILES}/index.html ${TARVO_WEB_FILES}/game_worker.js
            ${TARVO_WEB_FILES}/manifest.webmanifest.in ${TARVO_WEB_FILES}/service_worker.js.in
            ${TARVO_WEB_FILES}/describe_game.js ${TARVO_WEB_FILES}/engine_icon.js
            ${TARVO_WEB_FILES}/build_id.cmake ${extra}
    COMMENT "Writing the page of ${name} into ${page_OUT}"
    VERBATIM)
  add_custom_target(${target}_page ALL DEPENDS ${outputs})
endfunction()

# Every program in the project that links Tarvo::engine and has no page yet
# gets one: called once the project's lists have all been read.
function(tarvo_web_pages)
  set(folders ${CMAKE_SOURCE_DIR})
  while(folders)
    list(POP_FRONT folders folder)
    get_property(subfolders DIRECTORY ${folder} PROPERTY SUBDIRECTORIES)
    list(APPEND folders ${subfolders})
    get_property(targets DIRECTORY ${folder} PROPERTY BUILDSYSTEM_TARGETS)
    foreach(target ${targets})
      get_target_property(type ${target} TYPE)
      get_target_property(libraries ${target} LINK_LIBRARIES)
      if(type STREQUAL "EXECUTABLE" AND "Tarvo::engine" IN_LIST libraries AND NOT TARGET ${target}_page)
        tarvo_web_page(${target})
      endif()
    endforeach()
  endwhile()
endfunction()
