# The Windows release: kwl-<version>-windows-x64.zip in the build folder, with kwl-list.exe,
# kwl.exe (where the window is built) and the README (the project has no licence file yet),
# made by every build (kwl_windows_zip).
set(KWL_ZIP_NAME kwl-${PROJECT_VERSION}-windows-x64)
set(KWL_ZIP ${PROJECT_BINARY_DIR}/${KWL_ZIP_NAME}.zip)
set(KWL_ZIP_STAGE ${PROJECT_BINARY_DIR}/zip/${KWL_ZIP_NAME})
set(KWL_ZIP_DOCS ${PROJECT_SOURCE_DIR}/README.md)
set(KWL_ZIP_PROGRAMS kwl-list)
if(TARGET kwl)
    list(APPEND KWL_ZIP_PROGRAMS kwl)
endif()
add_custom_command(OUTPUT ${KWL_ZIP}
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${PROJECT_BINARY_DIR}/zip
    COMMAND ${CMAKE_COMMAND} -E make_directory ${KWL_ZIP_STAGE}
    COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:kwl-list> $<$<TARGET_EXISTS:kwl>:$<TARGET_FILE:kwl>> ${KWL_ZIP_DOCS} ${KWL_ZIP_STAGE}
    COMMAND ${CMAKE_COMMAND} -E rm -f ${KWL_ZIP}
    COMMAND ${CMAKE_COMMAND} -E chdir ${PROJECT_BINARY_DIR}/zip
            ${CMAKE_COMMAND} -E tar cf ${KWL_ZIP} --format=zip ${KWL_ZIP_NAME}
    DEPENDS ${KWL_ZIP_PROGRAMS} ${KWL_ZIP_DOCS}
    COMMENT "Packing ${KWL_ZIP_NAME}.zip"
    VERBATIM)
add_custom_target(kwl_windows_zip ALL DEPENDS ${KWL_ZIP})
