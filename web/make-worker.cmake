# make-worker.cmake -- writes the page's service worker from web/sw.js.in: the page's files, each
# with the SHA-256 of its contents, and the build's name, made from them, under which the worker
# keeps them. The same files give the same worker; any change to one of them gives another, which
# the browser installs in place of the old. Run by the build (web/CMakeLists.txt):
#   cmake -DPAGE=folder -DFILES="index.html|page.js" -DTEMPLATE=sw.js.in -DOUT=sw.js
#         -P make-worker.cmake
string(REPLACE "|" ";" files "${FILES}")
set(listing "")
set(entries "")
foreach(name IN LISTS files)
    if(NOT EXISTS ${PAGE}/${name})
        message(FATAL_ERROR "the page has no ${name}")
    endif()
    file(SHA256 ${PAGE}/${name} sha256)
    string(APPEND listing "${name} ${sha256}\n")
    list(APPEND entries "  [\"${name}\", \"${sha256}\"]")
endforeach()
string(SHA256 BUILD "${listing}")
string(SUBSTRING ${BUILD} 0 16 BUILD)
string(JOIN ",\n" FILES_JS ${entries})
set(FILES_JS "[\n${FILES_JS},\n]")
configure_file(${TEMPLATE} ${OUT} @ONLY)
# configure_file leaves an unchanged worker as it was; the build wants it newer than its files.
file(TOUCH ${OUT})
