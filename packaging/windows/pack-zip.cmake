# pack-zip.cmake -- packs the Windows game with fixed names, order, modes and file times, which
# are what unzip shows. (libarchive also keeps each staged copy's access and change times in an
# extra field, which differ from one build to the next.) Run by the build
# (packaging/windows/CMakeLists.txt):
#   cmake -DGAME=vantorix.exe -DTEXTURES="a.bmp|b.bmp" -DLICENSE=LICENSE -DREADME=README.txt
#         -DSTAGE=folder -DZIP=out.zip -P pack-zip.cmake
set(file_time "2026-01-01 00:00:00")
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
# Zip keeps local times: the same in every time zone only when made in one.
execute_process(COMMAND ${CMAKE_COMMAND} -E env TZ=UTC
                        ${CMAKE_COMMAND} -E tar cf ${ZIP} --format=zip "--mtime=${file_time}"
                        ${entries}
                WORKING_DIRECTORY ${STAGE}
                RESULT_VARIABLE failed)
if(failed)
    message(FATAL_ERROR "cannot pack ${ZIP}")
endif()
