# The release's programs need only Windows' own DLLs; the installer installs and uninstalls
# silently under Wine. The interpreter by its path: an imported program would be run through
# Wine.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
set(KWL_TESTED_PROGRAMS)
foreach(PROGRAM IN LISTS KWL_RELEASE_PROGRAMS)
    list(APPEND KWL_TESTED_PROGRAMS $<TARGET_FILE:${PROGRAM}>)
endforeach()
add_test(NAME WindowsRelease.ProgramsNeedOnlyWindowsDlls
         COMMAND ${Python3_EXECUTABLE} ${CMAKE_CURRENT_LIST_DIR}/dll_imports.py ${CMAKE_OBJDUMP}
                 ${KWL_TESTED_PROGRAMS})

if(TARGET kwl_windows_installer)
    add_test(NAME WindowsInstaller.SilentInstallAndUninstall
             COMMAND ${Python3_EXECUTABLE} ${CMAKE_CURRENT_LIST_DIR}/silent_install.py
                     ${KWL_INSTALLER} ${KWL_ZIP} ${PROJECT_VERSION} "${KWL_PUBLISHER}")
    set_tests_properties(WindowsInstaller.SilentInstallAndUninstall PROPERTIES
                         ENVIRONMENT "WINEPREFIX=${KWL_WINE_PREFIX}" TIMEOUT 300)
endif()
