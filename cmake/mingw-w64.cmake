# Cross-compiling for 64-bit Windows with Debian's mingw-w64 (the POSIX-thread
# variant of the compilers). Everything is linked statically, the C and C++
# runtimes included, so the programs import only DLLs that Windows ships.
#
# The libraries Debian does not package for mingw (minizip, libjpeg, libogg,
# libvorbis, GoogleTest) are built by tools/windows/build-deps.sh into a
# prefix; VELMORA_WINDOWS_DEPS names it (default: build-win/deps/prefix).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(VELMORA_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${VELMORA_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VELMORA_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${VELMORA_MINGW_TRIPLE}-windres)
set(CMAKE_AR ${VELMORA_MINGW_TRIPLE}-gcc-ar-posix CACHE FILEPATH "")
set(CMAKE_RANLIB ${VELMORA_MINGW_TRIPLE}-gcc-ranlib-posix CACHE FILEPATH "")

if(NOT VELMORA_WINDOWS_DEPS)
  if(DEFINED ENV{VELMORA_WINDOWS_DEPS})
    set(VELMORA_WINDOWS_DEPS $ENV{VELMORA_WINDOWS_DEPS})
  else()
    get_filename_component(VELMORA_WINDOWS_DEPS "${CMAKE_CURRENT_LIST_DIR}/../build-win/deps/prefix" ABSOLUTE)
  endif()
endif()
# try_compile projects read this file again: hand them the prefix too.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES VELMORA_WINDOWS_DEPS)

set(CMAKE_FIND_ROOT_PATH /usr/${VELMORA_MINGW_TRIPLE} ${VELMORA_WINDOWS_DEPS})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# pkg-config sees only the Windows libraries, with their private dependencies
# (static linking needs them).
set(ENV{PKG_CONFIG_LIBDIR} "${VELMORA_WINDOWS_DEPS}/lib/pkgconfig:/usr/${VELMORA_MINGW_TRIPLE}/lib/pkgconfig")
set(ENV{PKG_CONFIG_PATH} "")
set(PKG_CONFIG_ARGN --static)
# Debian's zlib for mingw also ships an import library; take the static one.
set(ZLIB_USE_STATIC_LIBS ON)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Programs the build runs on the build machine; the tests run under Wine.
find_program(VELMORA_WINE wine)
if(VELMORA_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${VELMORA_WINE})
endif()
