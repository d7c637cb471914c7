# Cross-building for 64-bit Windows with Debian's mingw-w64 (posix thread
# model, for std::thread and std::mutex). Programs are linked statically so
# that each .exe runs alone, and run under wine where the build needs to run
# one (the payload generator, test discovery).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(GRIX_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${GRIX_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${GRIX_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${GRIX_MINGW_TRIPLE}-windres)

# GRIX_WINDOWS_PREFIX holds what the build script built for the target
# (GoogleTest); it is searched beside the compiler's own folder.
list(APPEND CMAKE_FIND_ROOT_PATH /usr/${GRIX_MINGW_TRIPLE} $ENV{GRIX_WINDOWS_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# pkg-config answers for the target only, never with the host's libraries.
set(ENV{PKG_CONFIG_LIBDIR} "/usr/${GRIX_MINGW_TRIPLE}/lib/pkgconfig:$ENV{GRIX_WINDOWS_PREFIX}/lib/pkgconfig")
set(ENV{PKG_CONFIG_PATH} "")

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(ZLIB_USE_STATIC_LIBS ON)

find_program(GRIX_WINE wine)
if(GRIX_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${GRIX_WINE})
endif()
