# Cross-build for 32-bit Windows with the i486 toolchain that scripts/toolchain.sh builds from
# Debian's GCC and MinGW-w64 sources around Debian's own compilers: those default to the Pentium
# Pro, and their prebuilt runtime libraries use CMOV and FCOMI, which the processors of many
# Windows 95 to NT 4.0 machines lack.
# Their thread model is win32: the posix one links winpthreads, which imports functions that
# Windows 95 and NT 4.0 do not have. Test programs run through Wine in the project's own prefix
# (see tests/wine/wine-run.sh).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
# Where scripts/toolchain-dir.sh puts the toolchain.
if(DEFINED ENV{SONDREL_TOOLCHAIN})
  set(sondrel_toolchain $ENV{SONDREL_TOOLCHAIN})
elseif(DEFINED ENV{XDG_CACHE_HOME})
  set(sondrel_toolchain $ENV{XDG_CACHE_HOME}/sondrel-i486)
else()
  set(sondrel_toolchain $ENV{HOME}/.cache/sondrel-i486)
endif()
set(CMAKE_C_COMPILER ${sondrel_toolchain}/bin/i686-w64-mingw32-gcc)
set(CMAKE_CXX_COMPILER ${sondrel_toolchain}/bin/i686-w64-mingw32-g++)
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH ${sondrel_toolchain}/sysroot/mingw)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../tests/wine/wine-run.sh)
