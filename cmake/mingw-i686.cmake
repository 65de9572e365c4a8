# Cross build for 32-bit Windows (the shipped build); compiled and linked only,
# since this machine cannot execute 32-bit code.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# SSE2 is the floor the program asks of a processor: the drawing's four-wide
# paths are built, and doubles are reckoned in SSE registers as in the 64-bit
# build, not in the x87 unit's wider ones, so both draw the same pictures.
# The AVX2 loops chosen at run time may keep 32-byte vectors on a stack that
# Windows aligns to 16 bytes at most: the assembler makes every aligned vector
# move an unaligned one.
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse -Wa,-muse-unaligned-vector-move")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse -Wa,-muse-unaligned-vector-move")
