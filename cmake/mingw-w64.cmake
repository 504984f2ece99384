# mingw-w64.cmake -- cross-builds the Windows game (64-bit) with MinGW-w64 from Debian.
#   cmake -S . -B build/windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(mingw_prefix x86_64-w64-mingw32)
# The posix flavour: the C++ library's threads and clocks, which the frame pacer uses.
set(CMAKE_CXX_COMPILER ${mingw_prefix}-g++-posix)
set(CMAKE_C_COMPILER ${mingw_prefix}-gcc-posix)
set(CMAKE_RC_COMPILER ${mingw_prefix}-windres)

# Libraries and headers from the MinGW sysroot only, programs from the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${mingw_prefix})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
