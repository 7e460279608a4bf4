# Cross-compiling for 64-bit Windows with Debian's MinGW-w64 (make windows).
# The -posix compilers: the default win32 thread model of GCC 12 has no
# std::thread or std::mutex. Programs link statically, so that they run on
# a Windows (or in a Wine prefix) that has none of MinGW's DLLs.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(ZPAK_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${ZPAK_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ZPAK_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${ZPAK_MINGW_TRIPLET}-windres)

# Qt for Windows (scripts/build-qt-windows) is found in its own prefix.
set(ZPAK_QT_PREFIX "" CACHE PATH "Qt built for Windows, for the wizard window")
set(CMAKE_FIND_ROOT_PATH /usr/${ZPAK_MINGW_TRIPLET} ${ZPAK_QT_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(ZLIB_USE_STATIC_LIBS ON)

# Test discovery and ctest start the test programs through Wine.
find_program(ZPAK_WINE wine REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR ${ZPAK_WINE})
