# Cross build for 64-bit Windows with Debian's mingw-w64 compilers (the posix
# thread model, which std::thread and Qt's own build need). Qt's toolchain file
# chain-loads this one:
#   -DCMAKE_TOOLCHAIN_FILE=<qt>/lib/cmake/Qt6/qt.toolchain.cmake
#   -DQT_CHAINLOAD_TOOLCHAIN_FILE=<this file>
# tools/windows does all of it.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(SCRIVANE_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${SCRIVANE_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${SCRIVANE_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${SCRIVANE_MINGW_TRIPLET}-windres)

# Headers and libraries come from the mingw sysroot (and from Qt, which its own
# toolchain file puts in front); programs such as moc come from the host.
list(APPEND CMAKE_FIND_ROOT_PATH /usr/${SCRIVANE_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
