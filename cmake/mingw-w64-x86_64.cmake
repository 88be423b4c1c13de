# Cross-compiling for 64-bit Windows with Debian's mingw-w64, against the Qt,
# QScintilla and GoogleTest that scripts/setup-windows builds into the SDK
# folder given as ZIBBLES_WIN_SDK (a cache entry or the environment). The
# posix-thread compilers, as std::thread and std::mutex need them.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(_triple x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${_triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${_triple}-g++-posix)
set(CMAKE_RC_COMPILER ${_triple}-windres)

if(NOT ZIBBLES_WIN_SDK AND DEFINED ENV{ZIBBLES_WIN_SDK})
  set(ZIBBLES_WIN_SDK "$ENV{ZIBBLES_WIN_SDK}")
endif()
# try_compile() projects read this file again; they get the folder this way.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES ZIBBLES_WIN_SDK)

# Libraries, headers and packages come from the SDK and the mingw sysroot
# only, never from the Linux system; programs (moc, uic, rcc) from the host.
set(CMAKE_FIND_ROOT_PATH ${ZIBBLES_WIN_SDK} /usr/${_triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Qt's host tools are those of Debian's Linux Qt of the same version.
set(QT_HOST_PATH /usr)
set(QT_HOST_PATH_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake)
