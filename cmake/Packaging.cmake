# Installation into a desktop's standard places, and the Debian package built from it.
include(GNUInstallDirs)

install(TARGETS lintaro lintaro-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${PROJECT_SOURCE_DIR}/packaging/lintaro.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/example.c_seed_a8818ef1.lintaro.metainfo.xml
    DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${PROJECT_SOURCE_DIR}/src/app/resources/lintaro_icon.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/64x64/apps RENAME lintaro.png)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/lintaro.svg
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# Manual pages are made at build time by help2man from each program's --help and --version,
# with what packaging/man/PROGRAM.h2m adds (the name line, "see also"), and installed gzip'd
# at the highest level and without a time stamp, as Debian wants. This is the one place that
# names them.
set(lintaro_man_programs lintaro lintaro-cli)
find_program(LINTARO_HELP2MAN help2man)
if(NOT LINTARO_HELP2MAN)
    message(FATAL_ERROR "help2man makes the manual pages: install it (scripts/setup.sh does)")
endif()
set(lintaro_man_pages)
foreach(program IN LISTS lintaro_man_programs)
    set(page ${PROJECT_BINARY_DIR}/man/${program}.1)
    set(include ${PROJECT_SOURCE_DIR}/packaging/man/${program}.h2m)
    add_custom_command(OUTPUT ${page}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/man
        COMMAND ${LINTARO_HELP2MAN} --no-info --include=${include} --output=${page}
            $<TARGET_FILE:${program}>
        DEPENDS ${program} ${include} VERBATIM)
    list(APPEND lintaro_man_pages ${page})
endforeach()
set(lintaro_compressed_man_pages)
foreach(page IN LISTS lintaro_man_pages)
    get_filename_component(page_name ${page} NAME)
    set(compressed ${PROJECT_BINARY_DIR}/man/${page_name}.gz)
    add_custom_command(OUTPUT ${compressed}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/man
        COMMAND gzip -9 -n -c ${page} > ${compressed}
        DEPENDS ${page} VERBATIM)
    list(APPEND lintaro_compressed_man_pages ${compressed})
endforeach()
add_custom_target(lintaro_man_pages ALL DEPENDS ${lintaro_compressed_man_pages})
install(FILES ${lintaro_compressed_man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# lintaro-cli's bash completion, made from its option table, where bash-completion loads it
# on first use.
set(lintaro_completion ${PROJECT_BINARY_DIR}/completion/lintaro-cli)
add_custom_command(OUTPUT ${lintaro_completion}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/completion
    COMMAND $<TARGET_FILE:lintaro_cli_completion> > ${lintaro_completion}
    DEPENDS lintaro_cli_completion VERBATIM)
add_custom_target(lintaro_completion ALL DEPENDS ${lintaro_completion})
install(FILES ${lintaro_completion}
    DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)

# The licence and the release history, where Debian keeps them for each package.
set(lintaro_doc_dir ${CMAKE_INSTALL_DATADIR}/doc/lintaro)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright DESTINATION ${lintaro_doc_dir})
set(changelog ${PROJECT_SOURCE_DIR}/packaging/changelog)
file(STRINGS ${changelog} changelog_head LIMIT_COUNT 1)
if(NOT changelog_head MATCHES "^lintaro \\(${PROJECT_VERSION}\\) ")
    message(FATAL_ERROR "packaging/changelog must start with the entry for ${PROJECT_VERSION}")
endif()
set(compressed_changelog ${PROJECT_BINARY_DIR}/changelog.gz)
add_custom_command(OUTPUT ${compressed_changelog}
    COMMAND gzip -9 -n -c ${changelog} > ${compressed_changelog}
    DEPENDS ${changelog} VERBATIM)
add_custom_target(lintaro_changelog ALL DEPENDS ${compressed_changelog})
install(FILES ${compressed_changelog} DESTINATION ${lintaro_doc_dir})

set(CPACK_PACKAGE_NAME lintaro)
set(CPACK_PACKAGE_VENDOR "Lintaro developers")
# The address the project's commits are made under.
set(CPACK_PACKAGE_CONTACT
    "Lintaro maintainers <maintainers@users.noreply.c-seed-a8818ef1.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "regular-expression match harvester for text files")
# The extended description under that summary: paragraphs of lines under 80 characters.
set(CPACK_PACKAGE_DESCRIPTION_FILE ${PROJECT_SOURCE_DIR}/packaging/description.txt)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Debug symbols stay in the build tree; the package holds stripped programs.
set(CPACK_STRIP_FILES ON)
# Library dependencies come from the binaries themselves; the rest are what the libraries do
# not name: Qt's X11 and Wayland platform plugins, and a font that has the Chinese captions.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, qt6-translations-l10n, fonts-wqy-microhei | fonts-noto-cjk")
include(CPack)
