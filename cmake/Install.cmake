# What `cmake --install` lays out and what `cpack -G DEB` packages: the programs, their man
# pages and shell completions, and for the desktop program its desktop entry, icons and
# AppStream metadata. Included by the top-level CMakeLists.txt once every target exists.
include(GNUInstallDirs)

set(KWL_APP_ID io.github.kwl.kwl)
# The release date as the About box shows it (dd.mm.yyyy), for the metadata and the changelog.
string(REGEX REPLACE "^([0-9][0-9])\\.([0-9][0-9])\\.([0-9][0-9][0-9][0-9])$" "\\3-\\2-\\1"
       KWL_RELEASE_DATE_ISO "${KWL_RELEASE_DATE}")

# Man pages from their scdoc sources, installed compressed as Debian's policy wants them
# (gzip -9n: no name or time stamp inside, so the same page gives the same bytes); man reads them
# as they are.
find_program(SCDOC scdoc REQUIRED)
find_program(GZIP gzip REQUIRED)
set(KWL_MAN_PAGES kwl-list)
if(KWL_BUILD_GUI)
    list(APPEND KWL_MAN_PAGES kwl)
endif()
set(KWL_MAN_OUTPUTS)
foreach(PAGE IN LISTS KWL_MAN_PAGES)
    set(SOURCE ${PROJECT_SOURCE_DIR}/docs/man/${PAGE}.1.scd)
    set(PAGE_ROFF ${PROJECT_BINARY_DIR}/man/${PAGE}.1)
    set(OUTPUT ${PAGE_ROFF}.gz)
    add_custom_command(OUTPUT ${OUTPUT}
                       COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/man
                       COMMAND ${SCDOC} < ${SOURCE} > ${PAGE_ROFF}
                       COMMAND ${GZIP} -9nf ${PAGE_ROFF}
                       DEPENDS ${SOURCE} VERBATIM)
    list(APPEND KWL_MAN_OUTPUTS ${OUTPUT})
endforeach()
add_custom_target(kwl_man_pages ALL DEPENDS ${KWL_MAN_OUTPUTS})
install(FILES ${KWL_MAN_OUTPUTS} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

install(TARGETS kwl-list RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# Who holds the copyright and under which licence, in Debian's machine-readable format, and
# the changelog of the release, where Debian's policy wants them (share/doc/kwl/).
install(FILES ${PROJECT_SOURCE_DIR}/data/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})

# Completions where each shell looks for them. bash-completion loads a file by the command's
# name, so the one file goes in under both names; zsh's names both commands in its #compdef.
set(COMPLETIONS ${PROJECT_SOURCE_DIR}/completions)
install(FILES ${COMPLETIONS}/kwl-list.bash RENAME kwl-list
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)
install(FILES ${COMPLETIONS}/_kwl-list DESTINATION ${CMAKE_INSTALL_DATADIR}/zsh/vendor-completions)
install(FILES ${COMPLETIONS}/kwl-list.fish
        DESTINATION ${CMAKE_INSTALL_DATADIR}/fish/vendor_completions.d)

if(KWL_BUILD_GUI)
    install(TARGETS kwl RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    install(FILES ${COMPLETIONS}/kwl-list.bash RENAME kwl
            DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)
    install(FILES ${COMPLETIONS}/kwl.fish
            DESTINATION ${CMAKE_INSTALL_DATADIR}/fish/vendor_completions.d)

    install(FILES ${PROJECT_SOURCE_DIR}/data/${KWL_APP_ID}.desktop
            DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)

    # The release in the metadata is the one the About box shows.
    configure_file(${PROJECT_SOURCE_DIR}/data/${KWL_APP_ID}.metainfo.xml.in
                   ${PROJECT_BINARY_DIR}/data/${KWL_APP_ID}.metainfo.xml @ONLY)
    install(FILES ${PROJECT_BINARY_DIR}/data/${KWL_APP_ID}.metainfo.xml
            DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

    # The icon: the SVG as drawn, and the theme's PNG sizes rendered from it by the build, so
    # that they can never differ from it (res/README.md).
    find_program(RSVG_CONVERT rsvg-convert REQUIRED)
    set(ICON_SVG ${PROJECT_SOURCE_DIR}/res/kwl.svg)
    set(ICON_DIR ${CMAKE_INSTALL_DATADIR}/icons/hicolor)
    install(FILES ${ICON_SVG} RENAME ${KWL_APP_ID}.svg DESTINATION ${ICON_DIR}/scalable/apps)
    set(ICON_PNGS)
    foreach(SIZE 16 22 24 32 48 64 128 256)
        set(PNG ${PROJECT_BINARY_DIR}/icons/${SIZE}/${KWL_APP_ID}.png)
        add_custom_command(OUTPUT ${PNG}
                           COMMAND ${CMAKE_COMMAND} -E make_directory
                                   ${PROJECT_BINARY_DIR}/icons/${SIZE}
                           COMMAND ${RSVG_CONVERT} -w ${SIZE} -h ${SIZE} -o ${PNG} ${ICON_SVG}
                           DEPENDS ${ICON_SVG} VERBATIM)
        list(APPEND ICON_PNGS ${PNG})
        install(FILES ${PNG} DESTINATION ${ICON_DIR}/${SIZE}x${SIZE}/apps)
    endforeach()
    add_custom_target(kwl_icons ALL DEPENDS ${ICON_PNGS})
endif()

# The Debian package, from the same rules: cpack -G DEB in the build folder.
set(CPACK_PACKAGE_NAME kwl)
set(CPACK_PACKAGE_VENDOR "${KWL_PUBLISHER}")
# Set it to whoever builds and signs the package for a distribution.
set(KWL_PACKAGE_MAINTAINER "KWL developers <kwl@example.org>" CACHE STRING
    "Maintainer field of the Debian package")
set(CPACK_PACKAGE_CONTACT "${KWL_PACKAGE_MAINTAINER}")
# The changelog in Debian's format, its entry dated with the release date.
execute_process(COMMAND date -u -R -d "${KWL_RELEASE_DATE_ISO} 12:00"
                OUTPUT_VARIABLE KWL_RELEASE_DATE_RFC2822 OUTPUT_STRIP_TRAILING_WHITESPACE
                COMMAND_ERROR_IS_FATAL ANY)
configure_file(${PROJECT_SOURCE_DIR}/data/changelog.in ${PROJECT_BINARY_DIR}/doc/changelog @ONLY)
add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/doc/changelog.gz
                   COMMAND ${GZIP} -9nfk ${PROJECT_BINARY_DIR}/doc/changelog
                   DEPENDS ${PROJECT_BINARY_DIR}/doc/changelog VERBATIM)
add_custom_target(kwl_changelog ALL DEPENDS ${PROJECT_BINARY_DIR}/doc/changelog.gz)
install(FILES ${PROJECT_BINARY_DIR}/doc/changelog.gz DESTINATION ${CMAKE_INSTALL_DOCDIR})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "print directory listings as text, a text table or an HTML page")
# Lines of at most 80 characters, as Debian's package tools show them.
set(CPACK_PACKAGE_DESCRIPTION
    "KWL reads a directory tree and renders one line per directory and file in a
format of your choice, as an indented listing, a text file with a column
separator or an HTML page whose table draws the tree. The desktop program kwl
speaks English and German; the kwl-list command renders the same bytes from a
shell and adds a JSON export, content hashes and the comparison of snapshots.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
# Dependencies from the libraries the programs link (dpkg-shlibdeps).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
include(CPack)
