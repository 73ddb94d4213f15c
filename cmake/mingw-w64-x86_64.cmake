# Cross-building for 64-bit Windows on Debian with mingw-w64 (POSIX threads:
# apt-get install g++-mingw-w64-x86-64-posix). Qt for Windows comes from the
# prefix given as QT_WINDOWS_PREFIX (scripts/windows sets it); moc, rcc and uic
# come from the host, so configure with
#   -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

# try_compile() projects see the toolchain file again: hand them the prefix.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES QT_WINDOWS_PREFIX)
if(NOT QT_WINDOWS_PREFIX AND DEFINED ENV{QT_WINDOWS_PREFIX})
  set(QT_WINDOWS_PREFIX "$ENV{QT_WINDOWS_PREFIX}")
endif()

set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
if(QT_WINDOWS_PREFIX)
  list(APPEND CMAKE_FIND_ROOT_PATH "${QT_WINDOWS_PREFIX}")
  list(APPEND CMAKE_PREFIX_PATH "${QT_WINDOWS_PREFIX}")
endif()
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
