# pack-web.cmake -- places the page in its own folder and packs that folder so that every build
# gives the same bytes (zip-page): fixed names, order and modes, and one date for every file,
# SOURCE_DATE_EPOCH, taken from the date of the latest entry in CHANGELOG unless set in the
# environment (as for the Debian package and the Windows zip). Run by the build
# (web/CMakeLists.txt):
#   cmake -DPAGE=folder -DENTRIES="index.html|vantorix.js" -DCHANGELOG=changelog -DSTAGE=folder
#         -DZIP=out.zip -DZIP_PAGE=zip-page -P pack-web.cmake
include(${CMAKE_CURRENT_LIST_DIR}/../cmake/source-date-epoch.cmake)
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
execute_process(COMMAND ${ZIP_PAGE} ${ZIP} ${STAGE} ${epoch} ${entries} RESULT_VARIABLE failed)
if(failed)
    message(FATAL_ERROR "cannot pack ${ZIP}")
endif()
