# Cross-compiling for 64-bit Windows with Debian's MinGW-w64.
# The posix thread model: its libstdc++ has the full thread library, and it is
# linked in statically, so no MinGW DLL travels with the program.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(POROTEN_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${POROTEN_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${POROTEN_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${POROTEN_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${POROTEN_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# MinGW's GCC 12 misreads `"literal" + std::string&&` at -O2 as an overlapping
# memcpy inside libstdc++ (GCC bug 105651); the native build keeps the check.
set(CMAKE_CXX_FLAGS_INIT "-Wno-restrict -ffunction-sections -fdata-sections")

# Static runtime, so the program needs no DLL but Windows' own; unused
# sections dropped, which takes most of the static libstdc++ back out.
# No link time in the PE header, so that the same sources give the same bytes.
set(CMAKE_EXE_LINKER_FLAGS_INIT
    "-static -static-libgcc -static-libstdc++ -Wl,--gc-sections -Wl,--no-insert-timestamp")
set(CMAKE_EXE_LINKER_FLAGS_RELEASE_INIT "-s")
set(CMAKE_EXE_LINKER_FLAGS_MINSIZEREL_INIT "-s")
