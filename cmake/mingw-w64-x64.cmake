# The same sources as a 64-bit Windows program: not shipped, only the
# stand-in that the Windows tests run where Wine cannot start 32-bit
# programs (a kernel without 32-bit emulation; tests/support/wine-prefix.sh).
set(KIV_MINGW_TARGET x86_64-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR AMD64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
