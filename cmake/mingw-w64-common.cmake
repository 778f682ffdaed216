# Shared by the MinGW-w64 toolchain files, which set CMAKE_SYSTEM_PROCESSOR first: the cross
# compilers for that processor (posix threads), statically linked so that Korvane.exe needs
# nothing but Windows. Tests run under wine.
set(CMAKE_SYSTEM_NAME Windows)
set(korvane_mingw ${CMAKE_SYSTEM_PROCESSOR}-w64-mingw32)
set(CMAKE_C_COMPILER ${korvane_mingw}-gcc-posix)
set(CMAKE_CXX_COMPILER ${korvane_mingw}-g++-posix)
set(CMAKE_RC_COMPILER ${korvane_mingw}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${korvane_mingw})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_CROSSCOMPILING_EMULATOR "${CMAKE_CURRENT_LIST_DIR}/wine-run")
