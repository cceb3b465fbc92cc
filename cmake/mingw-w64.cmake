# What the two Windows cross builds share; included by i686-w64-mingw32.cmake
# and x86_64-w64-mingw32.cmake after they set MINGW_TRIPLET,
# CMAKE_SYSTEM_PROCESSOR and DIRECTIVE_WINEARCH.
#
# Both build in the win32 thread model. The posix model's runtime
# (winpthreads), linked into the DLL, takes a TLS slot with every load of the
# DLL and never frees it, so a host that loads and unloads the plug-in some
# thousand times runs out of slots. The win32 model frees its slots when the
# DLL unloads; it has no std::thread, which only tests would use.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${MINGW_TRIPLET}-gcc-win32)
set(CMAKE_CXX_COMPILER ${MINGW_TRIPLET}-g++-win32)
set(CMAKE_RC_COMPILER ${MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Every binary carries its own copy of the compiler runtime, so that it runs
# anywhere (and under Wine) without the toolchain's DLLs beside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Tests run the Windows binaries under Wine, in a prefix of the build tree
# made for this architecture.
find_program(WINE_PROGRAM wine)
if(WINE_PROGRAM AND NOT DEFINED CMAKE_CROSSCOMPILING_EMULATOR)
  set(CMAKE_CROSSCOMPILING_EMULATOR
      ${CMAKE_CURRENT_LIST_DIR}/wine-run.sh ${DIRECTIVE_WINEARCH}
      ${CMAKE_BINARY_DIR}/wine-prefix)
endif()
