# Shared part of the MinGW-w64 toolchain files; DORRIK_TRIPLE names the target.
set(CMAKE_C_COMPILER ${DORRIK_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${DORRIK_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${DORRIK_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${DORRIK_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# Static runtime: no MinGW DLL has to sit beside a program under Wine.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Tests and tools run under Wine: 32-bit programs need the wine launcher, 64-bit ones wine64.
if(DORRIK_TRIPLE MATCHES "^x86_64")
  find_program(DORRIK_WINE NAMES wine64 PATHS /usr/lib/wine /usr/bin NO_DEFAULT_PATH)
else()
  find_program(DORRIK_WINE NAMES wine PATHS /usr/lib/wine /usr/bin NO_DEFAULT_PATH)
endif()
if(DORRIK_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${DORRIK_WINE})
endif()
