# Cross build for 64-bit Windows with Debian's MinGW-w64 (the posix-thread flavour, which
# std::thread and std::filesystem need). Programs link statically, so that they run without
# any MinGW DLL beside them, under Wine as on Windows.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(PEKTO_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${PEKTO_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${PEKTO_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${PEKTO_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${PEKTO_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# Tests run through Wine.
find_program(PEKTO_WINE NAMES wine64 wine PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
if(PEKTO_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${PEKTO_WINE})
endif()
