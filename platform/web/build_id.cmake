# Writes the service worker OUT from the template IN, its cache named by the
# content of the page's files (FILES, separated by '|'): any change to any of
# them is a new name. The worker also gets each file's SHA-256, to take from
# the server only the files of its own build.
string(REPLACE "|" ";" files "${FILES}")
set(content "")
set(TARVO_FILE_HASHES "")
foreach(file ${files})
  file(SHA256 ${file} hash)
  get_filename_component(name ${file} NAME)
  string(APPEND content ${hash})
  string(APPEND TARVO_FILE_HASHES "  '${name}': '${hash}',\n")
endforeach()
string(SHA256 id "${content}")
string(SUBSTRING ${id} 0 16 TARVO_BUILD_ID)
configure_file(${IN} ${OUT} @ONLY)
