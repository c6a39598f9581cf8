# Cross-compiles the Windows executable with MinGW-w64 on Debian; the
# executables run under Wine, so ctest can start them directly.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TOOLCHAIN_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${TOOLCHAIN_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TOOLCHAIN_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${TOOLCHAIN_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TOOLCHAIN_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

find_program(WINE_EXECUTABLE NAMES wine)
# Wine maps a page at a fixed address in every process; with the host's
# address-space randomisation something may land there first, and the
# program never starts. setarch -R starts it with randomisation off.
find_program(SETARCH_EXECUTABLE NAMES setarch)
if(SETARCH_EXECUTABLE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${SETARCH_EXECUTABLE} -R ${WINE_EXECUTABLE})
else()
  set(CMAKE_CROSSCOMPILING_EMULATOR ${WINE_EXECUTABLE})
endif()
