# Cross toolchain: MinGW-w64 (posix threads) for 32-bit x86 Windows, the one
# kind of program that starts on every Windows a player has: 32-bit and
# 64-bit from XP SP3 on, and Windows on ARM, which emulates x86. Tests run
# under Wine (32-bit programs in a 64-bit prefix, as on 64-bit Windows).
# mingw-w64-x64.cmake names another target first (KIV_MINGW_TARGET).
if(NOT KIV_MINGW_TARGET)
  set(KIV_MINGW_TARGET i686-w64-mingw32)
  set(CMAKE_SYSTEM_PROCESSOR x86)
endif()
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${KIV_MINGW_TARGET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KIV_MINGW_TARGET}-g++-posix)
set(CMAKE_RC_COMPILER ${KIV_MINGW_TARGET}-windres)
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
set(CMAKE_FIND_ROOT_PATH /usr/${KIV_MINGW_TARGET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
