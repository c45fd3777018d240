# The Windows release, made by every build from one folder of the files it ships (kwl.exe,
# kwl-list.exe, the README and the copyright note, as the project names no licence yet):
# kwl-<version>-windows-x64.zip (kwl_windows_zip) and the installer
# kwl-<version>-setup-x64.exe (kwl_windows_installer, packaging/windows/kwl.nsi). A build
# without the window (KWL_BUILD_GUI off) packs the zip with kwl-list.exe alone and makes no
# installer, whose Start menu entry is the window.
set(KWL_RELEASE_NAME kwl-${PROJECT_VERSION}-windows-x64)
set(KWL_RELEASE_STAGE ${PROJECT_BINARY_DIR}/release/${KWL_RELEASE_NAME})
set(KWL_RELEASE_PROGRAMS kwl-list)
if(TARGET kwl)
    list(PREPEND KWL_RELEASE_PROGRAMS kwl)
endif()
# The copyright note under a name that Windows opens as text.
configure_file(${PROJECT_SOURCE_DIR}/data/copyright ${PROJECT_BINARY_DIR}/release/copyright.txt
               COPYONLY)
set(KWL_RELEASE_DOCS ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_BINARY_DIR}/release/copyright.txt)

set(KWL_RELEASE_FILES)
set(KWL_RELEASE_FILE_NAMES)
foreach(PROGRAM IN LISTS KWL_RELEASE_PROGRAMS)
    list(APPEND KWL_RELEASE_FILES $<TARGET_FILE:${PROGRAM}>)
    list(APPEND KWL_RELEASE_FILE_NAMES $<TARGET_FILE_NAME:${PROGRAM}>)
endforeach()
foreach(DOC IN LISTS KWL_RELEASE_DOCS)
    list(APPEND KWL_RELEASE_FILES ${DOC})
    cmake_path(GET DOC FILENAME NAME)
    list(APPEND KWL_RELEASE_FILE_NAMES ${NAME})
endforeach()

set(KWL_RELEASE_STAMP ${PROJECT_BINARY_DIR}/release/staged.stamp)
add_custom_command(OUTPUT ${KWL_RELEASE_STAMP}
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${KWL_RELEASE_STAGE}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${KWL_RELEASE_STAGE}
    COMMAND ${CMAKE_COMMAND} -E copy ${KWL_RELEASE_FILES} ${KWL_RELEASE_STAGE}
    COMMAND ${CMAKE_COMMAND} -E touch ${KWL_RELEASE_STAMP}
    DEPENDS ${KWL_RELEASE_PROGRAMS} ${KWL_RELEASE_DOCS}
    COMMENT "Gathering the files of ${KWL_RELEASE_NAME}"
    VERBATIM)
# One target gathers them: the zip and the installer, built in parallel, would each run the
# command above into the same folder.
add_custom_target(kwl_windows_release_files DEPENDS ${KWL_RELEASE_STAMP})

set(KWL_ZIP ${PROJECT_BINARY_DIR}/${KWL_RELEASE_NAME}.zip)
add_custom_command(OUTPUT ${KWL_ZIP}
    COMMAND ${CMAKE_COMMAND} -E rm -f ${KWL_ZIP}
    COMMAND ${CMAKE_COMMAND} -E chdir ${PROJECT_BINARY_DIR}/release
            ${CMAKE_COMMAND} -E tar cf ${KWL_ZIP} --format=zip ${KWL_RELEASE_NAME}
    DEPENDS ${KWL_RELEASE_STAMP}
    COMMENT "Packing ${KWL_RELEASE_NAME}.zip"
    VERBATIM)
add_custom_target(kwl_windows_zip ALL DEPENDS ${KWL_ZIP})
add_dependencies(kwl_windows_zip kwl_windows_release_files)

if(NOT TARGET kwl)
    return()
endif()

# The installer installs and removes exactly the staged files: their names go to the script
# as two macros.
set(KWL_INSTALLER_FILES ${PROJECT_BINARY_DIR}/release/files.nsh)
set(KWL_INSTALLER_FILES_TEXT "!macro KWL_INSTALL_FILES\n")
foreach(NAME IN LISTS KWL_RELEASE_FILE_NAMES)
    string(APPEND KWL_INSTALLER_FILES_TEXT "    File \"${KWL_RELEASE_STAGE}/${NAME}\"\n")
endforeach()
string(APPEND KWL_INSTALLER_FILES_TEXT "!macroend\n!macro KWL_DELETE_FILES\n")
foreach(NAME IN LISTS KWL_RELEASE_FILE_NAMES)
    string(APPEND KWL_INSTALLER_FILES_TEXT "    Delete \"$INSTDIR\\${NAME}\"\n")
endforeach()
string(APPEND KWL_INSTALLER_FILES_TEXT "!macroend\n")
file(GENERATE OUTPUT ${KWL_INSTALLER_FILES} CONTENT "${KWL_INSTALLER_FILES_TEXT}")

find_program(KWL_MAKENSIS makensis REQUIRED)
set(KWL_INSTALLER_SCRIPT ${PROJECT_SOURCE_DIR}/packaging/windows/kwl.nsi)
set(KWL_INSTALLER ${PROJECT_BINARY_DIR}/kwl-${PROJECT_VERSION}-setup-x64.exe)
add_custom_command(OUTPUT ${KWL_INSTALLER}
    COMMAND ${KWL_MAKENSIS} -V2 -WX -INPUTCHARSET UTF8
            -DKWL_VERSION=${PROJECT_VERSION} "-DKWL_PUBLISHER=${KWL_PUBLISHER}"
            -DKWL_FILES=${KWL_INSTALLER_FILES} -DKWL_OUTFILE=${KWL_INSTALLER}
            ${KWL_INSTALLER_SCRIPT}
    DEPENDS ${KWL_RELEASE_STAMP} ${KWL_INSTALLER_FILES} ${KWL_INSTALLER_SCRIPT}
    COMMENT "Making kwl-${PROJECT_VERSION}-setup-x64.exe"
    VERBATIM)
add_custom_target(kwl_windows_installer ALL DEPENDS ${KWL_INSTALLER})
add_dependencies(kwl_windows_installer kwl_windows_release_files)
