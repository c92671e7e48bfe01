# Cross-compiles the Windows program (32-bit). This machine's kernel cannot run
# 32-bit programs, so this configuration is compiled and linked only.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(QOVRA_TRIPLE i686-w64-mingw32)
set(CMAKE_C_COMPILER ${QOVRA_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QOVRA_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${QOVRA_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${QOVRA_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
