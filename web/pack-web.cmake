# pack-web.cmake -- places the page in its own folder and packs that folder with fixed names,
# order, modes and file times, so that the same build gives the same zip. Run by the build
# (web/CMakeLists.txt):
#   cmake -DPAGE=folder -DENTRIES="index.html|vantorix.js" -DSTAGE=folder -DZIP=out.zip
#         -P pack-web.cmake
set(file_time "2026-01-01 00:00:00")
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
# Zip keeps local times: the same in every time zone only when made in one.
execute_process(COMMAND ${CMAKE_COMMAND} -E env TZ=UTC
                        ${CMAKE_COMMAND} -E tar cf ${ZIP} --format=zip "--mtime=${file_time}"
                        ${entries}
                WORKING_DIRECTORY ${STAGE}
                RESULT_VARIABLE failed)
if(failed)
    message(FATAL_ERROR "cannot pack ${ZIP}")
endif()
