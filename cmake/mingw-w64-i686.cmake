# Cross build of the 32-bit Windows programs with MinGW-w64. Doubles are computed in SSE2, as on
# x86_64: the i686 default keeps them on the x87 with excess precision, which changes the bytes
# written (src/common/fpu.hpp refuses such a build). long double stays on the x87.
set(CMAKE_SYSTEM_PROCESSOR i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
