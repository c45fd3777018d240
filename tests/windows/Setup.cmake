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

# Test files that only Linux can run, each with why. Single tests of the files built here
# that Windows cannot hold skip themselves (names Windows forbids, Linux's links, times before
# 1601).
set(KWL_LINUX_ONLY_TESTS
    # The descriptor budget under RLIMIT_NOFILE, counted in /proc/self/fd.
    scan/DirHandleSetTest.cpp
    # getdents64 and statx faults injected by the fault shim (a C library replacement),
    # descriptor limits.
    scan/ScanFaultTest.cpp
    support/FaultShim.cpp
    # kwl-list run as nobody, under RLIMIT_FSIZE and RLIMIT_NOFILE, with the fault shim, onto
    # /dev/full and a full tmpfs; Linux's paths and error texts in its expectations.
    cli/KwlListTest.cpp
    # formats.def as a FIFO, a link to a device, unreadable for nobody (permission bits).
    format/FormatsFileTest.cpp
    # The main dialog's message on directories that the fault shim makes unreadable.
    dialogs/ScanErrorMessageTest.cpp
    # Saves into pipes (SIGPIPE), onto a full tmpfs, without permission as nobody.
    output/OutputFileTest.cpp
    # The sink on raw descriptors: a pipe with F_SETPIPE_SZ, /dev/full.
    output/StreamingTest.cpp
    # Linux's atomic save: links followed (lstat), permissions kept, refusals as nobody.
    platform/AtomicFileTest.cpp
    # Hashing through directory descriptors (O_DIRECTORY), FIFOs, a tmpfs.
    platform/ContentHashTest.cpp
    # The Linux directory reader itself: getdents64 records, FIFOs, AT_FDCWD.
    platform/DirReaderTest.cpp
    # Zones switched through TZ and checked against localtime_r and /usr/share/zoneinfo
    # (Windows takes its zone from the system when a program starts).
    platform/TimeTest.cpp
    # A reference tree from opendir/lstat, unreadable directories as nobody, Linux's links,
    # control characters and bytes that are not UTF-8 in names.
    scan/DirectoryScanTest.cpp
    # Permission bits, FIFOs, links and mkdir modes, /proc/self/task.
    scan/ParallelScanTest.cpp
    # -x across a tmpfs mounted in a private mount namespace.
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
