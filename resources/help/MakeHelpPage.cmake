# Writes one language's help page from the English Tallix.htm: its lang
# attribute and, at the top, the note that says the translation is to come.
# cmake -DSOURCE=Tallix.htm -DNOTES=notes.txt -DSUFFIX=Fr -DOUT=TallixFr.htm -P MakeHelpPage.cmake
file(STRINGS "${NOTES}" lines ENCODING UTF-8 REGEX "^${SUFFIX}\t")
list(LENGTH lines count)
if(NOT count EQUAL 1)
  message(FATAL_ERROR "${NOTES}: no single line for the help page ${SUFFIX}")
endif()
# Fields by pattern, not as a CMake list: a note may hold semicolons.
string(REGEX MATCH "^[^\t]*\t([^\t]*)\t?(.*)$" matched "${lines}")
set(lang "${CMAKE_MATCH_1}")
string(REPLACE "\\;" ";" note "${CMAKE_MATCH_2}") # file(STRINGS) escapes them

file(READ "${SOURCE}" page)
string(FIND "${page}" "<html lang=\"en\">" at_html)
string(FIND "${page}" "<!-- translation note -->" at_note)
if(at_html LESS 0 OR at_note LESS 0)
  message(FATAL_ERROR "${SOURCE}: the lang attribute or the translation note marker is missing")
endif()
string(REPLACE "<html lang=\"en\">" "<html lang=\"${lang}\">" page "${page}")
if(NOT note STREQUAL "")
  string(REPLACE "<!-- translation note -->" "<p class=\"note\">${note}</p>" page "${page}")
endif()
file(WRITE "${OUT}.new" "${page}")
file(COPY_FILE "${OUT}.new" "${OUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUT}.new")
