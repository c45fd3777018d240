# The tests of the Windows build: cross-built with MinGW-w64 and run under Wine through ctest.

# googletest from Debian's sources (the googletest package), built with the same compiler and
# linked statically, as nothing else of the test programs may need a DLL beside them.
set(KWL_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "googletest sources to build")
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_SHARED_LIBS OFF)
add_subdirectory(${KWL_GOOGLETEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

# GCC 12 at -O3 warns of overlapping copies in `"text" + std::string` that cannot happen
# (GCC bug 105329); the Release build of the tests would stop on it.
add_compile_options(-Wno-restrict)

# Every test program runs under Wine in a prefix of the build's own, made and started by
# tests/windows/wine-prefix.sh before ctest runs (a wineserver started by ctest would hold its
# pipes open). Tests are listed when ctest runs, so building needs no Wine. Local times are
# UTC there: Wine takes the zone from TZ, Windows programs cannot change it while they run.
set(KWL_WINE_PREFIX ${CMAKE_BINARY_DIR}/wine-prefix)
find_program(KWL_WINE_PROGRAM wine REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR
    /usr/bin/env;WINEDEBUG=-all;WINEPREFIX=${KWL_WINE_PREFIX};TZ=UTC;${KWL_WINE_PROGRAM})
set(KWL_TEST_DISCOVERY_MODE PRE_TEST)

# Test files that only Linux can run, each with why.
set(KWL_LINUX_ONLY_TESTS
    # The descriptor budget under RLIMIT_NOFILE, counted in /proc/self/fd.
    scan/DirHandleSetTest.cpp
    # Faults injected where the scan calls the C library (getdents64, statx), and descriptor
    # limits.
    scan/ScanFaultTest.cpp
    support/FaultShim.cpp
    # Descriptors, permission bits, runs as nobody, fifos, pipes and SIGPIPE, a full tmpfs,
    # statx, and times in zones set through TZ (Windows takes its zone from the system).
    cli/KwlListTest.cpp
    format/FormatsFileTest.cpp
    output/OutputFileTest.cpp
    output/StreamingTest.cpp
    platform/AtomicFileTest.cpp
    platform/ContentHashTest.cpp
    platform/DirReaderTest.cpp
    platform/TimeTest.cpp
    scan/DirectoryScanTest.cpp
    scan/ParallelScanTest.cpp
    scan/ScanFilterTest.cpp
    # Linux's errno names (EDQUOT, ...) and their texts.
    lang/ErrorReasonTest.cpp
    # Read the JSON export back with simdjson, which has no MinGW build. Under Windows the
    # export is checked against the schema and against Linux's bytes (compare_with_linux.py).
    cli/CompareTest.cpp
    cli/FiltersTest.cpp
    cli/JsonExportTest.cpp
    output/JsonWriterTest.cpp
    )
set(KWL_TEST_JSON_READER)
