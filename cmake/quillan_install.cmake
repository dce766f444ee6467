# What `cmake --install` puts below the prefix, and the Debian package that
# `cpack -G DEB` makes of the same tree:
#   bin/                         the five programs
#   share/applications/          the menu entries of Quillan, Glyphary, Burnet
#   share/icons/hicolor/NxN/apps their icons (resources/icons/, by quillan-artgen)
#   share/doc/quillan/           README, copyright, changelog
#   share/man/man1/              a manual page for each program
#   share/quillan/demo/          the demo working folder
include(GNUInstallDirs)

set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

foreach(program quillan quillan-cli burnet glyphary prefixer)
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
endforeach()

set(QUILLAN_ICON_SIZES 16 22 24 32 48 64 128 256)
foreach(program quillan glyphary burnet)
  if(TARGET ${program})
    install(FILES packaging/${program}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    foreach(size ${QUILLAN_ICON_SIZES})
      install(FILES resources/icons/${program}_${size}.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME ${program}.png)
    endforeach()
  endif()
endforeach()

# The changelog in Debian's form, compressed as Debian policy asks (gzip -9n
# keeps no name or time, so the package is the same on every build).
set(QUILLAN_CHANGELOG_GZ ${PROJECT_BINARY_DIR}/packaging/changelog.gz)
add_custom_command(OUTPUT ${QUILLAN_CHANGELOG_GZ}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/packaging
  COMMAND gzip -9n -c ${PROJECT_SOURCE_DIR}/packaging/changelog > ${QUILLAN_CHANGELOG_GZ}
  DEPENDS ${PROJECT_SOURCE_DIR}/packaging/changelog
  COMMENT "Compressing the changelog")

# The manual pages, compressed in the same way.
set(QUILLAN_MAN_PAGES "")
foreach(program quillan quillan-cli burnet glyphary prefixer)
  if(TARGET ${program})
    set(page ${PROJECT_BINARY_DIR}/packaging/man/${program}.1.gz)
    add_custom_command(OUTPUT ${page}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/packaging/man
      COMMAND gzip -9n -c ${PROJECT_SOURCE_DIR}/packaging/man/${program}.1 > ${page}
      DEPENDS ${PROJECT_SOURCE_DIR}/packaging/man/${program}.1)
    list(APPEND QUILLAN_MAN_PAGES ${page})
  endif()
endforeach()
add_custom_target(quillan_packaging_files ALL DEPENDS ${QUILLAN_CHANGELOG_GZ} ${QUILLAN_MAN_PAGES})
install(FILES ${QUILLAN_MAN_PAGES} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(QUILLAN_DOCDIR ${CMAKE_INSTALL_DATADIR}/doc/quillan)
install(FILES README.md packaging/copyright ${QUILLAN_CHANGELOG_GZ} DESTINATION ${QUILLAN_DOCDIR})
install(DIRECTORY examples/demo/ DESTINATION ${CMAKE_INSTALL_DATADIR}/quillan/demo)

# The package.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quillan)
set(CPACK_PACKAGE_VENDOR "The Quillan developers")
# The maintainer's address is also the one of packaging/changelog and
# packaging/copyright: change all three together.
set(CPACK_PACKAGE_CONTACT "The Quillan developers <quillan@example.org>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "translation workbench for the scripts of the game TK7")
# The synopsis comes from the summary above; this is the extended part.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Quillan is a workbench for fan translators of the Japanese console game TK7.
It opens the game's compressed script files, shows every Japanese entry with
the game's own glyphs, lets the translator type the English text with the
game's control codes, keeps the work as one small chunk file per page and
writes replacement script files in the game's own format.
.
Around it: a kanji database that maps the game's kanji bitmaps to real
characters, clipboard and machine-translation exchange, a font editor and a
bootable two-track CD image builder. Glyphary edits the kanji database,
Burnet builds the CD image and cue sheet from a folder, prefixer turns
label-colon-text files into records for the text import, and quillan-cli
does the batch work from a terminal. A demo working folder with a small
generated script is in /usr/share/quillan/demo.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION text)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Make CD and Burnet run genisoimage.
set(CPACK_DEBIAN_PACKAGE_DEPENDS genisoimage)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)

if(BUILD_TESTING)
  # The install tree of this build, its menu entries and the installed
  # programs, from a scratch prefix.
  set(check_flags "")
  if(QUILLAN_SANITIZE OR CMAKE_BUILD_TYPE STREQUAL "Debug")
    # Sanitizer reports and assertions name the source files on purpose.
    set(check_flags --keep-source-names)
  endif()
  add_test(NAME install_tree
    COMMAND bash ${PROJECT_SOURCE_DIR}/scripts/check-install.sh ${check_flags} ${PROJECT_BINARY_DIR})
  set_tests_properties(install_tree PROPERTIES TIMEOUT 300)
endif()
