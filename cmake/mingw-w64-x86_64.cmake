# Cross-compiling for 64-bit Windows with Debian's MinGW-w64, for running the result under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(FREQSMITH_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${FREQSMITH_MINGW_TRIPLE}-gcc)
set(CMAKE_CXX_COMPILER ${FREQSMITH_MINGW_TRIPLE}-g++)
set(CMAKE_RC_COMPILER ${FREQSMITH_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${FREQSMITH_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The runtime libraries go into the executable, so Wine finds everything without a search
# path for MinGW's DLLs.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# Lets CMake and CTest run the built programs on this machine.
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
