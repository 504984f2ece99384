# pack-web.cmake -- places the page in its own folder and packs that folder with fixed names,
# order, modes and file times (zip-page), so that the same build gives the same zip. Run by the
# build (web/CMakeLists.txt):
#   cmake -DPAGE=folder -DENTRIES="index.html|vantorix.js" -DSTAGE=folder -DZIP=out.zip
#         -DZIP_PAGE=zip-page -P pack-web.cmake
set(readable OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)

string(REPLACE "|" ";" entries "${ENTRIES}")
file(REMOVE_RECURSE ${STAGE})
file(MAKE_DIRECTORY ${STAGE})
foreach(entry IN LISTS entries)
    if(NOT EXISTS ${PAGE}/${entry})
        message(FATAL_ERROR "the page has no ${entry}")
    endif()
    file(COPY ${PAGE}/${entry} DESTINATION ${STAGE} FILE_PERMISSIONS ${readable})
endforeach()

file(REMOVE ${ZIP})
# Not CMake's own zip, which keeps each staged copy's access and change times.
execute_process(COMMAND ${ZIP_PAGE} ${ZIP} ${STAGE} ${entries} RESULT_VARIABLE failed)
if(failed)
    message(FATAL_ERROR "cannot pack ${ZIP}")
endif()
