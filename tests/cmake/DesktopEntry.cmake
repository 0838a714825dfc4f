# SPDX-License-Identifier: GPL-3.0-or-later
# The desktop entry passes desktop-file-validate without a word, and names the lesson file type
# that the MIME package defines.
# Usage: cmake -DVALIDATOR=<desktop-file-validate> -DENTRY=<pekto.desktop>
#              -DMIME_PACKAGE=<pekto.xml> -P DesktopEntry.cmake
cmake_minimum_required(VERSION 3.25)

if(NOT VALIDATOR)
  message(FATAL_ERROR "desktop-file-validate is missing (Debian: desktop-file-utils)")
endif()
execute_process(COMMAND "${VALIDATOR}" "${ENTRY}" RESULT_VARIABLE status
                OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT status EQUAL 0 OR NOT output STREQUAL "")
  message(FATAL_ERROR "desktop-file-validate (${status}):\n${output}")
endif()

file(STRINGS "${ENTRY}" mime_line REGEX "^MimeType=")
file(READ "${MIME_PACKAGE}" package)
string(REGEX MATCH "mime-type type=\"([^\"]+)\"" _ "${package}")
set(type "${CMAKE_MATCH_1}")
string(REPLACE "\\;" ";" mime_line "${mime_line}")  # file(STRINGS) escapes the semicolon
if(NOT type OR NOT mime_line STREQUAL "MimeType=${type};")
  message(FATAL_ERROR "the entry's '${mime_line}' is not the type '${type}' defined "
                      "in ${MIME_PACKAGE}")
endif()
