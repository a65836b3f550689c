# Writes the service worker OUT from the template IN, its cache named by the
# content of the page's files (FILES, separated by '|'): any change to any of
# them is a new name.
string(REPLACE "|" ";" files "${FILES}")
set(content "")
foreach(file ${files})
  file(SHA256 ${file} hash)
  string(APPEND content ${hash})
endforeach()
string(SHA256 id "${content}")
string(SUBSTRING ${id} 0 16 TARVO_BUILD_ID)
configure_file(${IN} ${OUT} @ONLY)
