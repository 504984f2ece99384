# pack-zip.cmake -- packs the Windows game so that every build gives the same bytes: fixed
# names, order and modes, and one date for every file, SOURCE_DATE_EPOCH, taken from the date of
# the latest entry in CHANGELOG unless set in the environment (as for the Debian package). Zip's
# -X leaves out the extra fields, which would carry each staged copy's access and change times
# and its owner. Run by the build (packaging/windows/CMakeLists.txt):
#   cmake -DGAME=vantorix.exe -DTEXTURES="a.bmp|b.bmp" -DLICENSE=LICENSE -DREADME=README.txt
#         -DCHANGELOG=changelog -DSTAGE=folder -DZIP=out.zip -P pack-zip.cmake
include(${CMAKE_CURRENT_LIST_DIR}/../../cmake/source-date-epoch.cmake)
set(readable OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
set(runnable ${readable} OWNER_EXECUTE GROUP_EXECUTE WORLD_EXECUTE)

file(REMOVE_RECURSE ${STAGE})
file(MAKE_DIRECTORY ${STAGE}/textures)
file(COPY ${GAME} DESTINATION ${STAGE} FILE_PERMISSIONS ${runnable})
string(REPLACE "|" ";" textures "${TEXTURES}")
file(COPY ${textures} DESTINATION ${STAGE}/textures FILE_PERMISSIONS ${readable})

# The text files with Windows' line ends, for Notepad.
function(write_text source name)
    file(READ ${source} text)
    string(REPLACE "\n" "\r\n" text "${text}")
    file(WRITE ${STAGE}/${name} "${text}")
    file(CHMOD ${STAGE}/${name} FILE_PERMISSIONS ${readable})
endfunction()
write_text(${LICENSE} LICENSE.txt)
write_text(${README} README.txt)

get_filename_component(exe ${GAME} NAME)
set(entries ${exe} README.txt LICENSE.txt)
foreach(texture IN LISTS textures)
    get_filename_component(name ${texture} NAME)
    list(APPEND entries textures/${name})
endforeach()
file(REMOVE ${ZIP})
get_filename_component(zip_folder ${ZIP} DIRECTORY)
file(MAKE_DIRECTORY ${zip_folder})
# Zip keeps local times: the same in every time zone only when made in one.
execute_process(COMMAND ${CMAKE_COMMAND} -E env TZ=UTC touch -d @${epoch} ${entries}
                WORKING_DIRECTORY ${STAGE}
                RESULT_VARIABLE failed)
if(failed)
    message(FATAL_ERROR "cannot date the files staged in ${STAGE}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E env TZ=UTC zip -q -X -D -9 ${ZIP} ${entries}
                WORKING_DIRECTORY ${STAGE}
                RESULT_VARIABLE failed)
if(failed)
    message(FATAL_ERROR "cannot pack ${ZIP}")
endif()
