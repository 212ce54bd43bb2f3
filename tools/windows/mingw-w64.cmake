# Cross builds for 64-bit Windows with Debian's MinGW-w64: the -posix compilers (the win32 ones
# of GCC 12 have no std::thread), the libraries tools/windows/windows-deps built in
# KRAYLO_WINDOWS_DEPS, and Wine to run what the build runs (the tests).
#   cmake --preset windows -DKRAYLO_WINDOWS_DEPS=$(tools/windows/windows-deps | tail -1) \
#         -DKRAYLO_NATIVE_BUILD=<a native build>      (tools/windows/build-windows does)
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(triplet x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${triplet}-gcc-posix)
set(CMAKE_CXX_COMPILER ${triplet}-g++-posix)
set(CMAKE_RC_COMPILER ${triplet}-windres)
set(CMAKE_AR ${triplet}-ar CACHE FILEPATH "")
set(CMAKE_RANLIB ${triplet}-ranlib CACHE FILEPATH "")

# try_compile projects see the libraries' folder too.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES KRAYLO_WINDOWS_DEPS)
set(CMAKE_FIND_ROOT_PATH /usr/${triplet} ${KRAYLO_WINDOWS_DEPS})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# pkg-config reads only the Windows libraries, with what their static forms need besides.
if(KRAYLO_WINDOWS_DEPS)
  set(ENV{PKG_CONFIG_LIBDIR} ${KRAYLO_WINDOWS_DEPS}/lib/pkgconfig)
  set(ENV{PKG_CONFIG_SYSROOT_DIR} "")
  set(PKG_CONFIG_ARGN --static)
endif()

# One executable that needs only the DLLs every Windows has: the C++ and thread runtimes linked in.
set(CMAKE_EXE_LINKER_FLAGS_INIT -static)
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
