# SPDX-License-Identifier: GPL-3.0-or-later
# Fails when the program links a Qt Multimedia library: the error sound goes through the
# system's event-sound service, and the media framework would pull in codecs by the dozen. Nor
# does it link the event-sound library itself, which it opens with the first sound.
# Usage: cmake -DPROGRAM=path/to/pekto -P NoQtMultimedia.cmake
execute_process(COMMAND ldd "${PROGRAM}" OUTPUT_VARIABLE libraries RESULT_VARIABLE status)
if(NOT status EQUAL 0 OR NOT libraries MATCHES "libQt6Widgets")
  message(FATAL_ERROR "ldd could not list the libraries of ${PROGRAM}:\n${libraries}")
endif()
string(REGEX MATCHALL "[^\n]*[Mm]ultimedia[^\n]*" multimedia "${libraries}")
if(multimedia)
  message(FATAL_ERROR "${PROGRAM} links Qt Multimedia:\n${multimedia}")
endif()
string(REGEX MATCHALL "[^\n]*libcanberra[^\n]*" canberra "${libraries}")
if(canberra)
  message(FATAL_ERROR "${PROGRAM} links libcanberra at start-up:\n${canberra}")
endif()
