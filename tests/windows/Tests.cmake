# What only Windows has: the long path form the platform layer builds; attributes, names and
# paths that Windows treats apart, files held open by another program.
kwl_test_program(kwl_windows_tests LIBRARIES kwl_test_kwllist kwl_scan kwl_output kwl_lang
    SOURCES windows/PathFormTest.cpp windows/WindowsCasesTest.cpp)

# The release: the programs' DLLs, the installer under Wine.
include(${CMAKE_CURRENT_LIST_DIR}/installer/Installer.cmake)

# The same tree listed by Linux's kwl-list and by kwl-list.exe under Wine: the same bytes for
# every export kind. Linux's kwl-list comes from the Linux build beside this one.
set(KWL_LINUX_KWL_LIST ${PROJECT_SOURCE_DIR}/build/cli/kwl-list
    CACHE FILEPATH "Linux's kwl-list, to compare kwl-list.exe's outputs with")
find_package(Python3 REQUIRED COMPONENTS Interpreter)
# The interpreter by its path: an imported program would be run through Wine.
add_test(NAME WindowsAndLinux.SameBytesForEveryExportKind
         COMMAND ${Python3_EXECUTABLE} ${CMAKE_CURRENT_SOURCE_DIR}/windows/compare_with_linux.py
                 ${KWL_LINUX_KWL_LIST} $<TARGET_FILE:kwl-list>
                 ${PROJECT_SOURCE_DIR}/docs/kwl-tree.schema.json)
set_tests_properties(WindowsAndLinux.SameBytesForEveryExportKind PROPERTIES
                     ENVIRONMENT "WINEPREFIX=${KWL_WINE_PREFIX}" TIMEOUT 600)

# The window, where it is built.
if(TARGET kwl_winui)
    include(winui/Tests.cmake)
endif()
