# The Debian package: `cpack -G DEB` in the build tree makes tanamiru_<version>_amd64.deb from what `cmake --install`
# puts under /usr, plus the files below that only a package carries (scripts/package_test.sh builds, checks,
# installs and removes it).

set(TANAMIRU_PACKAGE_MAINTAINER "The タナミルＰｒｏ developers <tanamiru@users.noreply.github.com>"
    CACHE STRING "Maintainer field of the Debian package")

set(pkgdir ${CMAKE_CURRENT_LIST_DIR})
set(docdir ${CMAKE_INSTALL_DATADIR}/doc/tanamiru)

# The top entry of the changelog names the version the package is built as; a version bump needs an entry.
file(STRINGS ${pkgdir}/changelog top LIMIT_COUNT 1)
if(NOT top MATCHES "^tanamiru \\(${PROJECT_VERSION}\\) ")
    message(WARNING "packaging/changelog has no entry for version ${PROJECT_VERSION} at its top")
endif()

# Debian wants the changelog and the manual page compressed with gzip -9n (no name or time stamp inside, so the
# same input always gives the same bytes).
find_program(GZIP_PROGRAM gzip REQUIRED)
configure_file(${pkgdir}/tanamiru.1.in ${CMAKE_CURRENT_BINARY_DIR}/packaging/tanamiru.1 @ONLY)
add_custom_command(OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/packaging/changelog.gz
                   COMMAND ${GZIP_PROGRAM} -9nc ${pkgdir}/changelog > packaging/changelog.gz
                   DEPENDS ${pkgdir}/changelog
                   WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
add_custom_command(OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/packaging/tanamiru.1.gz
                   COMMAND ${GZIP_PROGRAM} -9nc packaging/tanamiru.1 > packaging/tanamiru.1.gz
                   DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/packaging/tanamiru.1
                   WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
add_custom_target(tanamiru_package_files ALL
                  DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/packaging/changelog.gz
                          ${CMAKE_CURRENT_BINARY_DIR}/packaging/tanamiru.1.gz)

install(FILES ${CMAKE_CURRENT_BINARY_DIR}/packaging/tanamiru.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${pkgdir}/io.github.tanamiru.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
# The metainfo's screenshot is this picture at its web address; the package carries the same picture, so that
# what the software centre shows can be checked against the installed program without the network.
install(FILES ${PROJECT_SOURCE_DIR}/help/src/img/main.png DESTINATION ${CMAKE_INSTALL_DATADIR}/tanamiru/screenshots)
install(FILES ${pkgdir}/copyright DESTINATION ${docdir})
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/packaging/changelog.gz DESTINATION ${docdir})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tanamiru)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The タナミルＰｒｏ developers")
set(CPACK_PACKAGE_CONTACT "${TANAMIRU_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "manga collection manager: owned and missing volumes per series")
# The summary above is the package's one-line synopsis; this is the long description under it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "タナミルＰｒｏ records, for every manga series, how many volumes exist and
which are owned and which are still missing, with author, magazine, rating,
issue dates, cover picture and memo. The data are Shift-JIS text files, so
collections made on Windows read back unchanged. The user interface is in
Japanese.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The libraries the program links (Qt, chmlib, the C++ runtime) come from dpkg-shlibdeps.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# What dpkg-shlibdeps cannot see:
# - a Japanese gothic font: every text of the window is Japanese, and without such a font it shows as empty
#   boxes. The window asks for IPA (P)Gothic first among the free fonts, so that is the package named; any
#   other Japanese gothic font (the virtual package) does as well.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-ipafont-gothic | fonts-japanese-gothic")
# - Qt's own translations, which put the standard buttons and dialogs in Japanese; without them those are in
#   English and everything else still works.
# - fcitx5's input method module for Qt 6: Qt 6 reaches an input method only through its own plug-ins, and only
#   ibus's comes with libqt6gui6 (Qt 6 has no XIM and no uim module). Without it a user of fcitx5 cannot type a
#   Japanese title; the program itself runs either way.
# The covers the program reads (JPEG, PNG, BMP) are decoded by plug-ins inside libqt6gui6, which shlibdeps already
# names, so Qt's extra image format plug-ins are not needed.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, fcitx5-frontend-qt6")

include(CPack)
