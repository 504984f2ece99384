# source-date-epoch.cmake -- sets `epoch` to the one date every packed file carries:
# SOURCE_DATE_EPOCH from the environment, or else the date of the latest entry in ${CHANGELOG},
# as for the Debian package. Included by the scripts that pack the Windows game and the page.
if(DEFINED ENV{SOURCE_DATE_EPOCH})
    set(epoch $ENV{SOURCE_DATE_EPOCH})
else()
    execute_process(COMMAND dpkg-parsechangelog -l ${CHANGELOG} -S Timestamp
                    OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE
                    RESULT_VARIABLE failed)
    if(failed)
        message(FATAL_ERROR "cannot read the date of ${CHANGELOG}")
    endif()
endif()
if(NOT epoch MATCHES "^[0-9]+$")
    message(FATAL_ERROR "SOURCE_DATE_EPOCH is not a number of seconds: '${epoch}'")
endif()
