# Cross-compiling for 64-bit Windows with Debian's MinGW-w64 (posix threads, for
# std::thread and std::mutex), the programs tried under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_AR x86_64-w64-mingw32-ar)
set(CMAKE_RANLIB x86_64-w64-mingw32-ranlib)
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine64)

# Libraries and headers from the toolchain folder (VELMORA_WINDOWS_PREFIX) and
# MinGW's own, never the build machine's; programs (moc, nasm) from the build
# machine.
if(NOT VELMORA_WINDOWS_PREFIX)
    set(VELMORA_WINDOWS_PREFIX "$ENV{VELMORA_WINDOWS_PREFIX}")
endif()
set(CMAKE_TRY_COMPILE_PLATFORM_VARIABLES VELMORA_WINDOWS_PREFIX)
set(CMAKE_FIND_ROOT_PATH ${VELMORA_WINDOWS_PREFIX} /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
