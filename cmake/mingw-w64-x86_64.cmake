# Cross build for 64-bit Windows from Debian with MinGW-w64 (g++-mingw-w64-x86-64-posix).
# The posix flavour of the compiler: its C++ runtime implements std::thread on winpthread.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(KWL_MINGW_TRIPLE x86_64-w64-mingw32)

set(CMAKE_C_COMPILER ${KWL_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KWL_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${KWL_MINGW_TRIPLE}-windres)

# Libraries and headers of the target only; programs (scdoc, cmake itself) of the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${KWL_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The programs run under Wine on the build machine (tests, try-runs).
find_program(KWL_WINE wine)
if(KWL_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${KWL_WINE})
endif()
