# Cross-compiling for 64-bit Windows with Debian's MinGW-w64. The posix thread model: Qt needs
# it for std::thread and std::mutex, and Qt and the program must share one C++ runtime.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(FREQSMITH_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${FREQSMITH_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${FREQSMITH_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${FREQSMITH_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${FREQSMITH_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Lets CMake and CTest run the built programs on this machine.
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
