# MinGW-w64 with POSIX threads, everything linked statically so the
# executables need no DLL beyond those of Windows itself.
set(CMAKE_C_COMPILER ${ORB_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ORB_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${ORB_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${ORB_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
