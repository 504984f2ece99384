# name-package.cmake -- gives the page's data package a name made from its contents. Emscripten's
# file packager names each build's package with a random UUID, which only its IndexedDB cache
# reads (the page does not use that cache); named after the contents instead, the same build
# gives the same loader, and the page's zip is reproducible. Run after each link:
#   cmake -DJS=vantorix.js -DDATA=vantorix.data -P name-package.cmake
file(SHA256 ${DATA} hash)
string(SUBSTRING ${hash} 0 8 a)
string(SUBSTRING ${hash} 8 4 b)
string(SUBSTRING ${hash} 12 4 c)
string(SUBSTRING ${hash} 16 4 d)
string(SUBSTRING ${hash} 20 12 e)
file(READ ${JS} loader)
string(REGEX REPLACE "\"package_uuid\":\"[0-9a-f-]+\"" "\"package_uuid\":\"${a}-${b}-${c}-${d}-${e}\""
       named "${loader}")
if(named STREQUAL loader AND NOT loader MATCHES "\"package_uuid\":\"${a}-")
    message(FATAL_ERROR "${JS} names no data package")
endif()
file(WRITE ${JS} "${named}")
