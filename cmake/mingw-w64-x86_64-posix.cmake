# Cross build of the Windows program with MinGW-w64 (x86_64).
# The -posix compilers carry std::thread and std::mutex, which the program
# and GoogleTest need; the win32-thread ones do not.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(PV_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${PV_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${PV_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${PV_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${PV_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# Statically linked: the program needs no DLL of ours (libgcc, libstdc++,
# winpthread are all inside the exe).
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
