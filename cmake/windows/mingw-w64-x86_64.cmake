# Cross-building for 64-bit Windows with Debian's mingw-w64 (posix threads), runtime linked
# statically so that the DLLs need nothing beside them but the system's own.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(GPS_MINGW x86_64-w64-mingw32)

set(CMAKE_C_COMPILER ${GPS_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${GPS_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${GPS_MINGW}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${GPS_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# -static takes libstdc++, libgcc and winpthread from their archives; --exclude-libs keeps
# their symbols out of each DLL's exports, so that two of our DLLs never export the same
# runtime function to a third.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -Wl,--exclude-libs,libgcc.a:libgcc_eh.a:libstdc++.a:libsupc++.a:libwinpthread.a:libpthread.a:libproj.a:libsqlite3.a")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static -Wl,--exclude-libs,libgcc.a:libgcc_eh.a:libstdc++.a:libsupc++.a:libwinpthread.a:libpthread.a:libproj.a:libsqlite3.a")
