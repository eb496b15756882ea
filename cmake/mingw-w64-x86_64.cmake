# Cross-compiles for 64-bit Windows with Debian's mingw-w64 (posix threads,
# which Qt's std::thread use needs). Used for Qt itself and for the program.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(DW_MINGW x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${DW_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${DW_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${DW_MINGW}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${DW_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)
