# SPDX-License-Identifier: GPL-3.0-or-later
# Installation into a standard prefix layout and the Debian package (cpack -G DEB).
#
#   <prefix>/bin/pekto
#   <prefix>/share/pekto/{Leckek,Help,keyboard,default.wav,words.txt}
#                                                        the files that come with the program
#   <prefix>/share/applications/pekto.desktop           menu entry, handler of lesson files
#   <prefix>/share/mime/packages/pekto.xml               the lesson file type (*.lck)
#   <prefix>/share/icons/hicolor/*/apps/pekto.{svg,png}  the application icon
#   <prefix>/share/doc/pekto/copyright                  the licences, machine-readable
#
# The program looks for its bundled files beside itself first (the build tree, a portable copy)
# and then in <prefix>/share/pekto, found from its own folder (BundleFolder in
# platform/Startup).

include(GNUInstallDirs)

set(PEKTO_SHARE_DIR "${CMAKE_INSTALL_DATADIR}/pekto")
file(RELATIVE_PATH pekto_bundle_from_program "${CMAKE_INSTALL_FULL_BINDIR}"
     "${CMAKE_INSTALL_FULL_DATADIR}/pekto")
set_property(SOURCE "${PROJECT_SOURCE_DIR}/src/platform/Startup.cpp" APPEND PROPERTY
             COMPILE_DEFINITIONS "PEKTO_BUNDLE_FROM_PROGRAM=\"${pekto_bundle_from_program}\"")

install(TARGETS pekto RUNTIME DESTINATION "${CMAKE_INSTALL_BINDIR}")
install(DIRECTORY "${PROJECT_SOURCE_DIR}/assets/lessons/"
        DESTINATION "${PEKTO_SHARE_DIR}/Leckek"
        FILES_MATCHING PATTERN "*.lck")
install(FILES "${PROJECT_SOURCE_DIR}/assets/sounds/default.wav" DESTINATION "${PEKTO_SHARE_DIR}")
install(DIRECTORY "${PROJECT_SOURCE_DIR}/assets/keyboard/"
        DESTINATION "${PEKTO_SHARE_DIR}/keyboard")
install(FILES "${PROJECT_SOURCE_DIR}/tools/course/words.txt" DESTINATION "${PEKTO_SHARE_DIR}")
# The help pages, when the tree has them.
install(DIRECTORY "${PROJECT_SOURCE_DIR}/assets/help/" DESTINATION "${PEKTO_SHARE_DIR}/Help"
        OPTIONAL)

set(pekto_icons "${CMAKE_INSTALL_DATADIR}/icons/hicolor")
install(FILES "${PROJECT_SOURCE_DIR}/packaging/pekto.desktop"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/applications")
install(FILES "${PROJECT_SOURCE_DIR}/packaging/pekto.xml"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/mime/packages")
install(FILES "${PROJECT_SOURCE_DIR}/assets/icons/pekto.svg"
        DESTINATION "${pekto_icons}/scalable/apps")
# Lesson files show the application's icon in file managers.
install(FILES "${PROJECT_SOURCE_DIR}/assets/icons/pekto.svg"
        DESTINATION "${pekto_icons}/scalable/mimetypes" RENAME application-x-pekto-lesson.svg)
install(DIRECTORY "${PROJECT_SOURCE_DIR}/assets/icons/hicolor/" DESTINATION "${pekto_icons}"
        FILES_MATCHING PATTERN "pekto.png")
# Debian's copyright file: the program under the GPL, the public-domain texts of the course.
install(FILES "${PROJECT_SOURCE_DIR}/packaging/copyright"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/doc/pekto")

# ---------------------------------------------------------------------------
# The Debian package. The version is the product version the about box shows.
file(STRINGS "${PROJECT_SOURCE_DIR}/src/base/Product.h" pekto_version_line
     REGEX "kProductVersion = \"[0-9.]+\"")
string(REGEX MATCH "[0-9][0-9.]*" pekto_product_version "${pekto_version_line}")
file(STRINGS "${PROJECT_SOURCE_DIR}/src/base/Product.h" pekto_web_line
     REGEX "kMakerWebAddress = \"[^\"]+\"")
string(REGEX MATCH "https?://[^\"]+" pekto_web_address "${pekto_web_line}")
file(STRINGS "${PROJECT_SOURCE_DIR}/src/base/Product.h" pekto_mail_line
     REGEX "kMakerMailAddress = \"[^\"]+\"")
string(REGEX MATCH "[^\" ]+@[^\"]+" pekto_mail_address "${pekto_mail_line}")

set(CPACK_GENERATOR "DEB")
set(CPACK_PACKAGE_NAME "pekto")
set(CPACK_PACKAGE_VERSION "${pekto_product_version}")
set(CPACK_PACKAGE_VENDOR "Brenmar")
set(CPACK_PACKAGE_CONTACT "Brenmar <${pekto_mail_address}>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "touch-typing tutor with a Hungarian interface (gépírásoktató)")
set(CPACK_PACKAGE_DESCRIPTION [=[
Pekto teaches touch typing on the Hungarian keyboard. The learner picks a
lesson and types it in the upper pane while the lower pane highlights the next
expected character; live counters show correct and wrong keystrokes, time and
percentage. Results are kept in a score table, and a certificate can be printed.

The user interface is Hungarian, and a course of Hungarian lessons comes with
the program.

Tízujjas vakírást tanító program magyar felülettel és magyar leckékkel.]=])
set(CPACK_RESOURCE_FILE_LICENSE "${PROJECT_SOURCE_DIR}/LICENSE")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION "education")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${pekto_web_address}")
# The libraries the program links are found by dpkg-shlibdeps (dpkg-dev); the rest is what
# Qt loads at run time or what the program opens or names: the X11/Wayland platform plug-ins,
# libcanberra for the error sound, libjpeg for the banner, Qt's Hungarian translations of its
# dialogs, the fonts standing in for Courier New, Arial and the fallback, and the freedesktop
# sound theme (libcanberra0 asks for it as well). Tahoma and Comic Sans MS have stand-ins too,
# but a window without them still works.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "qt6-qpa-plugins, libcanberra0, libjpeg62-turbo, qt6-translations-l10n, \
fonts-liberation2 | fonts-liberation, fonts-dejavu-core, sound-theme-freedesktop")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-wine, fonts-comic-neue")
# The error sound reaches PulseAudio or PipeWire through ALSA as well; the direct way is only a
# suggestion, as it would bring a sound server onto a machine that has none.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "libcanberra-pulse")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
