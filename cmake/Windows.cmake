# The Windows build (MinGW-w64 from Debian, see cmake/mingw-w64-x86_64.cmake): one program
# that runs on a bare Windows 10 or 11, with nothing beside it.

# The C++ runtime, libgcc, winpthread and zlib linked in; only Windows' own DLLs stay.
add_link_options(-static -static-libgcc -static-libstdc++)
set(ZLIB_USE_STATIC_LIBS ON)
# The wide-character ("W") Windows functions throughout; Windows 10 is the oldest target.
add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0A00
                        __USE_MINGW_ANSI_STDIO=1)
# Windows' C runtime has no errno for an exceeded disk quota; Linux's number stands in, so the
# same failure carries the same number (JSON "errno") on both.
add_compile_definitions(EDQUOT=122)

# RapidJSON and xxHash are header-only; Debian installs them for the build machine. Only their
# own headers are copied beside the build, so the C library headers of the build machine never
# reach the cross compiler.
set(KWL_HOST_HEADERS ${PROJECT_BINARY_DIR}/host-include)
find_path(KWL_HOST_RAPIDJSON rapidjson/reader.h PATHS /usr/include NO_CMAKE_FIND_ROOT_PATH REQUIRED)
find_path(KWL_HOST_XXHASH xxhash.h PATHS /usr/include NO_CMAKE_FIND_ROOT_PATH REQUIRED)
file(COPY ${KWL_HOST_RAPIDJSON}/rapidjson DESTINATION ${KWL_HOST_HEADERS})
file(COPY ${KWL_HOST_XXHASH}/xxhash.h DESTINATION ${KWL_HOST_HEADERS})
set(RAPIDJSON_INCLUDE_DIR ${KWL_HOST_HEADERS} CACHE PATH "RapidJSON's headers" FORCE)
set(XXHASH_INCLUDE_DIR ${KWL_HOST_HEADERS} CACHE PATH "xxHash's header" FORCE)

# The desktop program on Windows is src/winui, on the Windows API itself: KWL_BUILD_GUI
# needs no wxWidgets here.
