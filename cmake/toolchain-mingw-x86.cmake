set(MINGW_TRIPLET i686-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR X86)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-common.cmake)
# No emulator: this machine's kernel cannot run 32-bit programs, so the x86 build is only
# checked statically.
