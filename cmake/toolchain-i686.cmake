# mingw-w64 i686 with the posix thread model (std::thread and std::mutex need it).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)
set(KESTOVA_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
# Doubles in SSE registers, rounded to 64 bits as on x86_64 and natively, not in x87's 80 bits:
# otherwise a comparison at a boundary (the size limit's warning share, say) comes out another
# way in the 32-bit build. Every processor that runs a current Windows and Office has SSE2.
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
