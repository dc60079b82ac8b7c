# Builds with Debian 11's own compiler, headers and libraries, run from the host with its CMake: the program
# then asks no newer glibc than Debian 11's. TROPILKA_SYSROOT names the Debian 11 system (a debootstrap root).
set(CMAKE_SYSROOT $ENV{TROPILKA_SYSROOT})
set(CMAKE_C_COMPILER ${CMAKE_SYSROOT}/usr/bin/gcc-10)
set(CMAKE_CXX_COMPILER ${CMAKE_SYSROOT}/usr/bin/g++-10)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)
set(ENV{PKG_CONFIG_SYSROOT_DIR} ${CMAKE_SYSROOT})
set(ENV{PKG_CONFIG_LIBDIR} ${CMAKE_SYSROOT}/usr/lib/x86_64-linux-gnu/pkgconfig:${CMAKE_SYSROOT}/usr/share/pkgconfig)
