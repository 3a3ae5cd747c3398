# libzip as the target libzip::zip.
#
# Debian's libzip-dev ships CMake targets for the zipcmp, zipmerge and ziptool
# programs, which are separate packages; its CMake config fails when they are
# absent. Its pkg-config file has no such ties, so it is tried first; platforms
# without pkg-config (Windows, a plain macOS) use the CMake config.
find_package(PkgConfig QUIET)
if(PKG_CONFIG_FOUND)
    pkg_check_modules(LIBZIP QUIET IMPORTED_TARGET GLOBAL libzip>=1.7)
endif()
if(LIBZIP_FOUND)
    add_library(libzip::zip ALIAS PkgConfig::LIBZIP)
else()
    find_package(libzip 1.7 REQUIRED CONFIG)
endif()
