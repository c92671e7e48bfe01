# Cross-compiles the Windows program (64-bit) with Debian's mingw-w64 (posix threads).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(QOVRA_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${QOVRA_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QOVRA_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${QOVRA_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${QOVRA_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# The 64-bit tests run under Wine; one wineserver is kept alive by ./test.
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine64)
