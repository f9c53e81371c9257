# Installs the build tree under a prefix of its own (with a space and a %, as a user's home may hold) and checks
# what a user's desktop would find there: the menu entry names the installed program by its quoted full path,
# the program carries no debugging symbols, and the build tree's own menu entry is left as it was.
# Run with -DBUILD_DIR=... -DWORK_DIR=... -DREADELF=...
set(prefix "${WORK_DIR}/my 100% prefix")
file(REMOVE_RECURSE "${WORK_DIR}")
set(built_entry "${BUILD_DIR}/desktop/tanamiru.desktop")
file(READ "${built_entry}" built_before)

execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${prefix}"
                RESULT_VARIABLE failed OUTPUT_QUIET)
if(failed)
    message(FATAL_ERROR "cmake --install failed: ${failed}")
endif()

file(READ "${prefix}/share/applications/tanamiru.desktop" entry)
string(REGEX MATCH "\nExec=[^\n]*" exec "${entry}")
# In an Exec value a % is written %%.
string(REPLACE "%" "%%" escaped "${prefix}")
if(NOT exec STREQUAL "\nExec=\"${escaped}/bin/tanamiru\" --user-folder")
    message(FATAL_ERROR "wrong Exec line:${exec}")
endif()

execute_process(COMMAND "${READELF}" --sections "${prefix}/bin/tanamiru" OUTPUT_VARIABLE sections RESULT_VARIABLE failed)
if(failed OR sections MATCHES "\\.debug_info|\\.symtab|\\.comment")
    message(FATAL_ERROR "the installed program is not stripped")
endif()

file(READ "${built_entry}" built_after)
if(NOT built_after STREQUAL built_before)
    message(FATAL_ERROR "the install rewrote ${built_entry}")
endif()
file(REMOVE_RECURSE "${WORK_DIR}")
