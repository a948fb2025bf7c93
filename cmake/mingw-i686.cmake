# Cross toolchain: Debian's MinGW-w64 with the posix thread model, 32-bit.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(RAVELIN_TRIPLET i686-w64-mingw32)
# Every targeted Windows machine (Vista/7 on) has SSE2, so the 32-bit build
# takes the same pixel kernels as the 64-bit one.
set(CMAKE_C_FLAGS_INIT "-msse2")
set(CMAKE_CXX_FLAGS_INIT "-msse2")
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
