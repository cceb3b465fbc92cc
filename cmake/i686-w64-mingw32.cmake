# Cross build for 32-bit Windows, the plug-in's native platform, with
# mingw-w64; tests run in a 32-bit Wine prefix.
set(MINGW_TRIPLET i686-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(DIRECTIVE_WINEARCH win32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
