# Builds the Debian package from the build tree into a folder of its own and checks what a system install would
# get: the files every user needs under /usr, the menu entry naming /usr/bin/tanamiru (not the prefix the tree
# was configured for), a stripped program, and library dependencies found from the program itself.
# Run with -DBUILD_DIR=... -DWORK_DIR=... -DCPACK=... -DDPKG_DEB=... -DREADELF=...
file(REMOVE_RECURSE "${WORK_DIR}")
execute_process(COMMAND "${CPACK}" -G DEB -B "${WORK_DIR}" WORKING_DIRECTORY "${BUILD_DIR}"
                RESULT_VARIABLE failed OUTPUT_VARIABLE out ERROR_VARIABLE out)
file(GLOB debs "${WORK_DIR}/tanamiru_*_amd64.deb")
list(LENGTH debs count)
if(failed OR NOT count EQUAL 1)
    message(FATAL_ERROR "cpack made no single package (${failed}):\n${out}")
endif()

execute_process(COMMAND "${DPKG_DEB}" -c "${debs}" OUTPUT_VARIABLE listing)
foreach(path usr/bin/tanamiru usr/share/applications/tanamiru.desktop
             usr/share/metainfo/io.github.tanamiru.metainfo.xml usr/share/icons/hicolor/256x256/apps/tanamiru.png
             usr/share/icons/hicolor/scalable/apps/tanamiru.svg usr/share/tanamiru/HondexHelp.chm
             usr/share/tanamiru/sample/データＰＲＯ.txt usr/share/tanamiru/screenshots/main.png
             usr/share/doc/tanamiru/copyright usr/share/doc/tanamiru/changelog.gz usr/share/man/man1/tanamiru.1.gz)
    string(FIND "${listing}" " ./${path}\n" at)
    if(at EQUAL -1)
        message(FATAL_ERROR "the package lacks /${path}")
    endif()
endforeach()
if(listing MATCHES " \\./usr/local/")
    message(FATAL_ERROR "the package installs under /usr/local")
endif()

execute_process(COMMAND "${DPKG_DEB}" -f "${debs}" Depends OUTPUT_VARIABLE depends)
if(NOT depends MATCHES "libqt6widgets6" OR NOT depends MATCHES "libchm1" OR NOT depends MATCHES "libqt6charts6"
   OR NOT depends MATCHES "libqt6svg6")
    message(FATAL_ERROR "the dependencies do not name the program's libraries: ${depends}")
endif()
execute_process(COMMAND "${DPKG_DEB}" -f "${debs}" Recommends OUTPUT_VARIABLE recommends)
if(NOT recommends MATCHES "qt6-translations-l10n" OR NOT recommends MATCHES "fcitx5-frontend-qt6")
    message(FATAL_ERROR "the package does not recommend Qt's translations and fcitx5's Qt 6 module: ${recommends}")
endif()

set(root "${WORK_DIR}/root")
execute_process(COMMAND "${DPKG_DEB}" -x "${debs}" "${root}" COMMAND_ERROR_IS_FATAL ANY)
file(READ "${root}/usr/share/applications/tanamiru.desktop" entry)
string(REGEX MATCH "\nExec=[^\n]*" exec "${entry}")
if(NOT exec STREQUAL "\nExec=\"/usr/bin/tanamiru\" --user-folder")
    message(FATAL_ERROR "wrong Exec line in the package:${exec}")
endif()
execute_process(COMMAND "${READELF}" --sections "${root}/usr/bin/tanamiru" OUTPUT_VARIABLE sections)
if(sections MATCHES "\\.debug_info|\\.symtab|\\.comment")
    message(FATAL_ERROR "the packaged program is not stripped")
endif()
file(REMOVE_RECURSE "${WORK_DIR}")
