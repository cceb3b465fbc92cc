# Cross build for 64-bit Windows with mingw-w64; tests run in a 64-bit Wine
# prefix.
set(MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(DIRECTIVE_WINEARCH win64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
