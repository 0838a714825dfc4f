# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the build into a temporary prefix and starts the installed program offscreen with the
# first lesson of the installed course as its argument. The program must find the course in
# <prefix>/share/pekto, copy it into its new data folder, list it in the lesson chooser and
# start the exercise on the lesson it was given. The Debian package made from the same build
# carries the copyright file where Debian keeps it.
# The program reports what it shows through the start-up probe preloaded into it.
# Usage: cmake -DBUILD_DIR=<build folder> -DWORK_DIR=<scratch folder> -DPROBE=<probe library>
#              -P InstalledProgram.cmake
cmake_minimum_required(VERSION 3.25)

function(fail message)
  message(FATAL_ERROR "${message}")
endfunction()

file(REMOVE_RECURSE "${WORK_DIR}")
set(prefix "${WORK_DIR}/prefix")
set(data "${WORK_DIR}/data")

execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${prefix}"
                RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT status EQUAL 0)
  fail("cmake --install failed (${status}):\n${output}")
endif()

foreach(file IN ITEMS
    bin/pekto
    share/pekto/default.wav
    share/pekto/keyboard/hu-102.txt
    share/pekto/words.txt
    share/applications/pekto.desktop
    share/mime/packages/pekto.xml
    share/icons/hicolor/scalable/apps/pekto.svg
    share/icons/hicolor/scalable/mimetypes/application-x-pekto-lesson.svg
    share/icons/hicolor/16x16/apps/pekto.png
    share/icons/hicolor/256x256/apps/pekto.png
    share/doc/pekto/copyright)
  if(NOT EXISTS "${prefix}/${file}")
    fail("the installation lacks ${file}")
  endif()
endforeach()
if(EXISTS "${prefix}/bin/Leckek" OR EXISTS "${prefix}/bin/default.wav")
  fail("bundled files were installed beside the program instead of in share/pekto")
endif()

set(course_dir "${prefix}/share/pekto/Leckek")
file(GLOB course RELATIVE "${course_dir}" "${course_dir}/*.lck")
list(SORT course)
list(LENGTH course count)
if(count EQUAL 0)
  fail("no lessons were installed in ${course_dir}")
endif()
list(GET course 0 first)

execute_process(
  COMMAND "${CMAKE_COMMAND}" -E env QT_QPA_PLATFORM=offscreen "XDG_DATA_HOME=${data}"
          PEKTO_REPORT_SHOWN=chooser "LD_PRELOAD=${PROBE}" "${prefix}/bin/pekto"
          "${course_dir}/${first}"
  RESULT_VARIABLE status OUTPUT_VARIABLE report ERROR_VARIABLE errors TIMEOUT 60)
if(NOT status EQUAL 0 OR NOT report MATCHES "^shown ")
  fail("the installed program did not show its window (${status}):\n${report}\n${errors}")
endif()

string(REGEX MATCHALL "chooser [^\n]+" entries "${report}")
list(TRANSFORM entries REPLACE "^chooser " "")
list(SORT entries)
if(NOT entries STREQUAL course)
  fail("the lesson chooser lists\n  ${entries}\nbut the installed course is\n  ${course}")
endif()
if(NOT report MATCHES "\nlesson Lecke: [^\n]")
  fail("the lesson ${first} given on the command line was not started:\n${report}")
endif()

foreach(lesson IN LISTS course)
  execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files "${course_dir}/${lesson}"
                          "${data}/Pekto/Leckek/${lesson}" RESULT_VARIABLE differs)
  if(NOT differs EQUAL 0)
    fail("${lesson} was not copied into the new lesson folder ${data}/Pekto/Leckek")
  endif()
endforeach()

execute_process(COMMAND "${CMAKE_CPACK_COMMAND}" --config "${BUILD_DIR}/CPackConfig.cmake"
                        -B "${WORK_DIR}/deb"
                RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
file(GLOB deb "${WORK_DIR}/deb/pekto_*.deb")
if(NOT status EQUAL 0 OR NOT deb)
  fail("cpack made no Debian package (${status}):\n${output}")
endif()
execute_process(COMMAND dpkg-deb -x "${deb}" "${WORK_DIR}/deb/root" RESULT_VARIABLE status)
execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files
                        "${CMAKE_CURRENT_LIST_DIR}/../../packaging/copyright"
                        "${WORK_DIR}/deb/root/usr/share/doc/pekto/copyright" RESULT_VARIABLE differs)
if(NOT status EQUAL 0 OR NOT differs EQUAL 0)
  fail("the Debian package lacks packaging/copyright as usr/share/doc/pekto/copyright")
endif()

file(REMOVE_RECURSE "${WORK_DIR}")
