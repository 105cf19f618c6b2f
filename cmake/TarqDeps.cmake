# Every third-party library comes from Debian packages (scripts/install-deps.sh).
find_package(PkgConfig REQUIRED)
find_package(ZLIB REQUIRED)
find_package(PNG REQUIRED)
find_package(Threads REQUIRED)
pkg_check_modules(SDL2 REQUIRED IMPORTED_TARGET sdl2)
pkg_check_modules(EPOXY REQUIRED IMPORTED_TARGET epoxy)
pkg_check_modules(OPENMPT REQUIRED IMPORTED_TARGET libopenmpt)
pkg_check_modules(GTK3 REQUIRED IMPORTED_TARGET gtk+-3.0)
pkg_check_modules(CAIRO REQUIRED IMPORTED_TARGET cairo)
pkg_check_modules(FREETYPE REQUIRED IMPORTED_TARGET freetype2)
pkg_check_modules(KISSFFT IMPORTED_TARGET kissfft-float)

# SimpleIni is a header-only library.
find_path(SIMPLEINI_INCLUDE_DIR SimpleIni.h REQUIRED)
add_library(simpleini INTERFACE)
target_include_directories(simpleini SYSTEM INTERFACE ${SIMPLEINI_INCLUDE_DIR})
# Debian's header defaults to a converter whose ConvertUTF.h it does not ship; the
# game's INI files are plain bytes, so no conversion is wanted anyway.
target_compile_definitions(simpleini INTERFACE SI_NO_CONVERSION)

if(TARQ_TESTS)
  find_package(GTest REQUIRED)
endif()
if(TARQ_BENCH)
  find_package(benchmark REQUIRED)
endif()
