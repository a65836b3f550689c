# Writes a game's page into OUT beside its program NAME.js and NAME.wasm
# (and NAME.data when DATA): cmake -DFILES=... -DOUT=... -DNAME=... -DDATA=ON|OFF
# -DNODE=node -DJSON=game.json [-DICONS=folder] [-DHELP_HTML=file]
# [-DDESCRIPTION=text] -P page_make.cmake. FILES is the folder of the page's
# sources.
#
# The program and its package go on the wire gzip-compressed whatever the
# server does (the page unpacks them); the game's declaration is read out of
# the program; then the page, its worker, the manifest, the icons and the
# service worker, whose cache is named by the content of every file it keeps.
cmake_minimum_required(VERSION 3.20)

set(program ${OUT}/${NAME}.js)
set(packed ${OUT}/${NAME}.wasm)
if(DATA)
  list(APPEND packed ${OUT}/${NAME}.data)
endif()
foreach(file ${packed})
  file(READ ${file} magic LIMIT 2 HEX)
  if(NOT magic STREQUAL "1f8b")
    execute_process(COMMAND gzip -9 -n -f ${file} RESULT_VARIABLE failed)
    if(failed)
      message(FATAL_ERROR "gzip ${file} failed")
    endif()
    file(RENAME ${file}.gz ${file})
  endif()
endforeach()

execute_process(COMMAND ${NODE} ${FILES}/describe_game.js ${program} ${packed} ${JSON} RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "The game's declaration could not be read from ${program}")
endif()
file(READ ${JSON} game)
string(STRIP "${game}" game)

function(html_text out text)
  string(REPLACE "&" "&amp;" text "${text}")
  string(REPLACE "<" "&lt;" text "${text}")
  string(REPLACE ">" "&gt;" text "${text}")
  string(REPLACE "\"" "&quot;" text "${text}")
  set(${out} "${text}" PARENT_SCOPE)
endfunction()
# A JSON string's text: the description's escapes undone (the program writes
# \n, \" and \\ and escapes only control characters and '<' otherwise).
function(json_get out)
  string(JSON value ERROR_VARIABLE error GET "${game}" ${ARGN})
  set(${out} "${value}" PARENT_SCOPE)
endfunction()
json_get(title title)
json_get(help help)
json_get(width width)
json_get(height height)
if(title STREQUAL "")
  set(title ${NAME})
endif()

# The page: its scripts inline, in the order it names them, so that the page
# is one file to serve, keep offline and update together; the game's title,
# help and description for the page's scripts.
html_text(TARVO_PAGE_TITLE "${title}")
if(HELP_HTML)
  file(READ ${HELP_HTML} TARVO_PAGE_HELP)
  string(STRIP "${TARVO_PAGE_HELP}" TARVO_PAGE_HELP)
else()
  html_text(TARVO_PAGE_HELP "${help}")
endif()
set(data false)
if(DATA)
  set(data true)
endif()
set(TARVO_PAGE_GAME "{\"program\":\"${NAME}\",\"data\":${data},\"game\":${game}}")
file(READ ${FILES}/index.html rest)
set(page "")
while(TRUE)
  string(REGEX MATCH "<script src=\"([a-z_]+\\.js)\"></script>" tag "${rest}")
  if(NOT tag)
    break()
  endif()
  set(script ${CMAKE_MATCH_1})
  string(FIND "${rest}" "${tag}" at)
  string(LENGTH "${tag}" length)
  string(SUBSTRING "${rest}" 0 ${at} before)
  math(EXPR after "${at} + ${length}")
  string(SUBSTRING "${rest}" ${after} -1 rest)
  file(READ ${FILES}/${script} text)
  string(APPEND page "${before}<script>\n${text}</script>")
endwhile()
string(APPEND page "${rest}")
string(CONFIGURE "${page}" page @ONLY)
file(WRITE ${OUT}/index.html "${page}")

# The worker: the list of messages between page and worker first.
file(READ ${FILES}/page_protocol.js protocol)
file(READ ${FILES}/game_worker.js worker)
file(WRITE ${OUT}/game_worker.js "${protocol}${worker}")

# The manifest: the game's title, help and picture's shape.
if(DESCRIPTION)
  set(help "${DESCRIPTION}")
endif()
# One line of text each, as JSON strings take it.
foreach(text title help)
  string(REGEX REPLACE "[\t\r\n]+" " " ${text} "${${text}}")
endforeach()
foreach(text title help)
  string(REPLACE "\\" "\\\\" ${text} "${${text}}")
  string(REPLACE "\"" "\\\"" ${text} "${${text}}")
endforeach()
set(TARVO_PAGE_NAME "${title}")
set(TARVO_PAGE_DESCRIPTION "${help}")
set(TARVO_PAGE_ORIENTATION landscape)
if(width GREATER 0 AND height GREATER width)
  set(TARVO_PAGE_ORIENTATION portrait)
endif()
configure_file(${FILES}/manifest.webmanifest.in ${OUT}/manifest.webmanifest @ONLY)

# The game's icons, or the engine's.
if(ICONS AND EXISTS ${ICONS}/icon-192.png AND EXISTS ${ICONS}/icon-512.png)
  file(COPY ${ICONS}/icon-192.png ${ICONS}/icon-512.png DESTINATION ${OUT})
else()
  execute_process(COMMAND ${NODE} ${FILES}/engine_icon.js ${OUT} RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "The engine's icons could not be drawn into ${OUT}")
  endif()
endif()

# Offline: the service worker, keeping every file the page needs.
set(kept index.html game_worker.js manifest.webmanifest icon-192.png icon-512.png ${NAME}.js ${NAME}.wasm)
if(DATA)
  list(APPEND kept ${NAME}.data)
endif()
list(TRANSFORM kept PREPEND ${OUT}/)
string(REPLACE ";" "|" kept "${kept}")
execute_process(COMMAND ${CMAKE_COMMAND} "-DFILES=${kept}" -DIN=${FILES}/service_worker.js.in
                        -DOUT=${OUT}/service_worker.js -P ${FILES}/build_id.cmake RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "The service worker could not be written into ${OUT}")
endif()
