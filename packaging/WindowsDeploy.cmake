# SPDX-License-Identifier: GPL-3.0-or-later
# Windows: everything the program needs stands beside pekto.exe, in the build tree as in the
# installed or portable copy (the layout Qt's own deployment tool makes):
#
#   pekto.exe, Qt6*.dll, libjpeg-62.dll, the MinGW runtime DLLs, qt.conf
#   platforms/qwindows.dll, styles/, imageformats/, iconengines/   Qt's plug-ins
#   translations/qtbase_hu.qm                                       Qt's own Hungarian texts
#   Leckek/, Help/, keyboard/, default.wav, words.txt               the files of the course
#
# The Qt DLLs and plug-ins come from the Qt prefix the build found; the MinGW runtime from that
# prefix's bin folder too (the same compiler built it). Qt's Hungarian translation is a host file
# (Debian's qt6-translations-l10n): its format does not depend on the system.

get_filename_component(PEKTO_QT_PREFIX "${Qt6_DIR}/../../.." ABSOLUTE)
set(PEKTO_QT_TRANSLATIONS_DIR /usr/share/qt6/translations
    CACHE PATH "Folder of Qt's .qm translation files (Debian's qt6-translations-l10n)")

set(pekto_runtime_dlls
    Qt6Core Qt6Gui Qt6Widgets Qt6PrintSupport Qt6Svg libjpeg-62
    libstdc++-6 libgcc_s_seh-1 libwinpthread-1)
set(pekto_plugins
    platforms/qwindows styles/qwindowsvistastyle
    imageformats/qgif imageformats/qico imageformats/qjpeg imageformats/qsvg
    iconengines/qsvgicon)

set(pekto_deployed)
foreach(dll ${pekto_runtime_dlls} Qt6Test)
  list(APPEND pekto_deployed "${PEKTO_QT_PREFIX}/bin/${dll}.dll")
endforeach()
set(pekto_bin "${CMAKE_RUNTIME_OUTPUT_DIRECTORY}")
# Qt finds its plug-ins beside the program and its translations through qt.conf.
set(pekto_qt_conf "${CMAKE_CURRENT_BINARY_DIR}/qt.conf")
file(WRITE "${pekto_qt_conf}" "[Paths]\nPrefix = .\nPlugins = .\nTranslations = translations\n")
set(pekto_deploy_commands)
foreach(plugin ${pekto_plugins})
  get_filename_component(folder "${plugin}" DIRECTORY)
  list(APPEND pekto_deploy_commands
       COMMAND ${CMAKE_COMMAND} -E make_directory "${pekto_bin}/${folder}"
       COMMAND ${CMAKE_COMMAND} -E copy_if_different "${PEKTO_QT_PREFIX}/plugins/${plugin}.dll"
               "${pekto_bin}/${folder}/")
endforeach()
add_custom_target(pekto_windows_deploy ALL
  COMMAND ${CMAKE_COMMAND} -E make_directory "${pekto_bin}/translations"
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${pekto_deployed} "${pekto_qt_conf}" "${pekto_bin}/"
  COMMAND ${CMAKE_COMMAND} -E copy_if_different
          "${PEKTO_QT_TRANSLATIONS_DIR}/qtbase_hu.qm" "${pekto_bin}/translations/"
  ${pekto_deploy_commands}
  COMMENT "Copying Qt's DLLs, plug-ins and Hungarian translation beside the program")

# cmake --install: the same flat layout, without the test library; the installer and the zip
# are made from it.
install(TARGETS pekto RUNTIME DESTINATION .)
foreach(dll ${pekto_runtime_dlls})
  install(FILES "${PEKTO_QT_PREFIX}/bin/${dll}.dll" DESTINATION .)
endforeach()
install(FILES "${pekto_qt_conf}" DESTINATION .)
foreach(plugin ${pekto_plugins})
  get_filename_component(folder "${plugin}" DIRECTORY)
  install(FILES "${PEKTO_QT_PREFIX}/plugins/${plugin}.dll" DESTINATION "${folder}")
endforeach()
install(FILES "${PEKTO_QT_TRANSLATIONS_DIR}/qtbase_hu.qm" DESTINATION translations)
install(DIRECTORY "${PROJECT_SOURCE_DIR}/assets/lessons/" DESTINATION Leckek
        FILES_MATCHING PATTERN "*.lck")
install(FILES "${PROJECT_SOURCE_DIR}/assets/sounds/default.wav" DESTINATION .)
install(DIRECTORY "${PROJECT_SOURCE_DIR}/assets/keyboard/" DESTINATION keyboard)
install(FILES "${PROJECT_SOURCE_DIR}/tools/course/words.txt" DESTINATION .)
install(DIRECTORY "${PROJECT_SOURCE_DIR}/assets/help/" DESTINATION Help OPTIONAL)
# The GPL beside the program, named so that a double click opens it in a text editor.
install(FILES "${PROJECT_SOURCE_DIR}/LICENSE" DESTINATION . RENAME LICENSE.txt)

# The installer and the portable zip (with an empty pekto.ini, which keeps the data beside the
# program): cmake --build <build> --target pekto_windows_packages. Debian's nsis gives makensis.
find_program(PEKTO_MAKENSIS makensis)
file(STRINGS "${PROJECT_SOURCE_DIR}/src/base/Product.h" pekto_version_line
     REGEX "kProductVersion = \"[0-9.]+\"")
string(REGEX MATCH "[0-9][0-9.]*" pekto_product_version "${pekto_version_line}")
set(pekto_stage "${CMAKE_BINARY_DIR}/package/stage")
set(pekto_setup "${CMAKE_BINARY_DIR}/package/pekto-${pekto_product_version}-setup.exe")
set(pekto_zip "${CMAKE_BINARY_DIR}/package/pekto-${pekto_product_version}-portable.zip")
set(pekto_portable "${CMAKE_BINARY_DIR}/package/Pekto")
add_custom_target(pekto_windows_packages
  COMMAND ${CMAKE_COMMAND} -E rm -rf "${pekto_stage}" "${pekto_portable}"
  COMMAND ${CMAKE_COMMAND} --install "${CMAKE_BINARY_DIR}" --prefix "${pekto_stage}" --strip
  COMMAND ${PEKTO_MAKENSIS} -V2 -DVERSION=${pekto_product_version} -DSTAGE=${pekto_stage}
          -DOUTFILE=${pekto_setup} "${PROJECT_SOURCE_DIR}/packaging/pekto.nsi"
  COMMAND ${CMAKE_COMMAND} -E copy_directory "${pekto_stage}" "${pekto_portable}"
  COMMAND ${CMAKE_COMMAND} -E touch "${pekto_portable}/pekto.ini"
  COMMAND ${CMAKE_COMMAND} -E chdir "${CMAKE_BINARY_DIR}/package"
          ${CMAKE_COMMAND} -E tar cf "${pekto_zip}" --format=zip Pekto
  DEPENDS pekto
  COMMENT "Making the installer and the portable zip in ${CMAKE_BINARY_DIR}/package"
  VERBATIM)
