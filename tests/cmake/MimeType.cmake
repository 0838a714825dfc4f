# SPDX-License-Identifier: GPL-3.0-or-later
# The MIME package is well-formed XML, and shared-mime-info builds a database from it in which
# "*.lck" files are Pekto lessons with a Hungarian description.
# Usage: cmake -DUPDATER=<update-mime-database> -DXMLLINT=<xmllint> -DMIME_PACKAGE=<pekto.xml>
#              -DWORK_DIR=<scratch folder> -P MimeType.cmake
cmake_minimum_required(VERSION 3.25)

if(NOT UPDATER OR NOT XMLLINT)
  message(FATAL_ERROR "update-mime-database or xmllint is missing "
                      "(Debian: shared-mime-info, libxml2-utils)")
endif()
execute_process(COMMAND "${XMLLINT}" --noout "${MIME_PACKAGE}" RESULT_VARIABLE status
                ERROR_VARIABLE output)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "xmllint:\n${output}")
endif()

# The database lies in a data folder of its own, which the updater is told is searched.
file(REMOVE_RECURSE "${WORK_DIR}")
set(database "${WORK_DIR}/mime")
file(COPY "${MIME_PACKAGE}" DESTINATION "${database}/packages")
execute_process(COMMAND "${CMAKE_COMMAND}" -E env "XDG_DATA_DIRS=${WORK_DIR}"
                        "XDG_DATA_HOME=${WORK_DIR}" "${UPDATER}" "${database}"
                RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT status EQUAL 0 OR NOT output STREQUAL "")
  message(FATAL_ERROR "update-mime-database (${status}):\n${output}")
endif()

file(STRINGS "${database}/globs2" globs)
if(NOT "50:application/x-pekto-lesson:*.lck" IN_LIST globs)
  message(FATAL_ERROR "*.lck is not a Pekto lesson in the built database:\n${globs}")
endif()
file(READ "${database}/application/x-pekto-lesson.xml" type)
if(NOT type MATCHES "<comment xml:lang=\"hu\">[^<]+</comment>")
  message(FATAL_ERROR "the lesson type has no Hungarian description:\n${type}")
endif()
file(REMOVE_RECURSE "${WORK_DIR}")
