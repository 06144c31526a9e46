# What a user gets: the installed files, the Windows version resource and the packages.
#   Windows build: pelquist_copy.exe, README.txt, MANUAL.txt and LICENSE.txt side by
#                  side; CPack: .zip
#   POSIX build:   bin/pelquist_copy, share/man/man1/pelquist_copy.1.gz, the bash
#                  completion share/bash-completion/completions/pelquist_copy, and in
#                  share/doc/pelquist-copy/ README.md, copyright (Debian's machine-readable
#                  form of LICENSE), changelog.gz (debian/changelog) and LICENSE.txt;
#                  CPack: .deb (all but LICENSE.txt, which copyright holds) and .tar.gz
# scripts/package.sh builds all three packages into dist/.
# Everything takes the version from project() in the top CMakeLists.txt.

include(GNUInstallDirs)

set(PELQUIST_FILE_DESCRIPTION "copy, move and collect files")

set(pelquist_manual ${CMAKE_CURRENT_SOURCE_DIR}/doc/pelquist_copy.1)
set(pelquist_readme ${CMAKE_CURRENT_SOURCE_DIR}/README.md)
set(pelquist_license ${CMAKE_CURRENT_SOURCE_DIR}/LICENSE)
set(pelquist_changelog ${CMAKE_CURRENT_SOURCE_DIR}/debian/changelog)
set(pelquist_completion ${CMAKE_CURRENT_SOURCE_DIR}/completion/pelquist_copy)
set(pelquist_render ${CMAKE_CURRENT_SOURCE_DIR}/cmake/render-doc.cmake)

if(WIN32)
  # --- version information in the .exe: 0.50 is FILEVERSION 0,50,0,0
  enable_language(RC)
  set(pelquist_numbers "")
  foreach(part MAJOR MINOR PATCH TWEAK)
    set(number "${PROJECT_VERSION_${part}}")
    if(number STREQUAL "")
      set(number 0)
    endif()
    math(EXPR number "${number}")  # "08" would be octal to the resource compiler
    list(APPEND pelquist_numbers ${number})
  endforeach()
  list(JOIN pelquist_numbers "," PELQUIST_VERSION_NUMBERS)
  # LegalCopyright: the copyright line of LICENSE, and the licence's name.
  file(STRINGS ${pelquist_license} PELQUIST_COPYRIGHT LIMIT_COUNT 1 REGEX "^Copyright ")
  string(APPEND PELQUIST_COPYRIGHT ", MIT License")
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${pelquist_license})
  configure_file(app/version.rc.in ${CMAKE_CURRENT_BINARY_DIR}/version.rc @ONLY)
  target_sources(pelquist_copy PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/version.rc)

  # --- README and manual as Windows text files
  find_program(PELQUIST_GROFF groff)
  set(readme_txt ${CMAKE_CURRENT_BINARY_DIR}/README.txt)
  set(license_txt ${CMAKE_CURRENT_BINARY_DIR}/LICENSE.txt)
  set(manual_txt ${CMAKE_CURRENT_BINARY_DIR}/MANUAL.txt)
  add_custom_command(OUTPUT ${readme_txt}
    COMMAND ${CMAKE_COMMAND} -DMODE=text -DINPUT=${pelquist_readme} -DOUTPUT=${readme_txt}
            -P ${pelquist_render}
    DEPENDS ${pelquist_readme} ${pelquist_render}
    COMMENT "README as a Windows text file" VERBATIM)
  add_custom_command(OUTPUT ${license_txt}
    COMMAND ${CMAKE_COMMAND} -DMODE=text -DINPUT=${pelquist_license} -DOUTPUT=${license_txt}
            -P ${pelquist_render}
    DEPENDS ${pelquist_license} ${pelquist_render}
    COMMENT "LICENSE as a Windows text file" VERBATIM)
  set(docs ${readme_txt} ${license_txt})
  if(PELQUIST_GROFF)
    add_custom_command(OUTPUT ${manual_txt}
      COMMAND ${CMAKE_COMMAND} -DMODE=manual -DGROFF=${PELQUIST_GROFF} -DINPUT=${pelquist_manual}
              -DOUTPUT=${manual_txt} -P ${pelquist_render}
      DEPENDS ${pelquist_manual} ${pelquist_render}
      COMMENT "Manual page rendered as a Windows text file" VERBATIM)
    list(APPEND docs ${manual_txt})
  else()
    message(WARNING "groff not found: the installed files and the zip go without MANUAL.txt")
  endif()
  add_custom_target(pelquist_docs ALL DEPENDS ${docs})

  install(TARGETS pelquist_copy RUNTIME DESTINATION .)
  install(FILES ${docs} DESTINATION .)
else()
  # --- the manual page and the changelog, compressed as Debian wants them; the licence
  # in Debian's machine-readable copyright format
  find_program(PELQUIST_GZIP gzip)
  set(copyright ${CMAKE_CURRENT_BINARY_DIR}/copyright)
  add_custom_command(OUTPUT ${copyright}
    COMMAND ${CMAKE_COMMAND} -DMODE=copyright -DINPUT=${pelquist_license} -DOUTPUT=${copyright}
            -P ${pelquist_render}
    DEPENDS ${pelquist_license} ${pelquist_render}
    COMMENT "The licence as a Debian copyright file" VERBATIM)
  set(docs ${copyright})
  if(PELQUIST_GZIP)
    set(manual_gz ${CMAKE_CURRENT_BINARY_DIR}/pelquist_copy.1.gz)
    set(changelog_gz ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz)
    add_custom_command(OUTPUT ${manual_gz}
      COMMAND ${CMAKE_COMMAND} -DMODE=gzip -DGZIP=${PELQUIST_GZIP} -DINPUT=${pelquist_manual}
              -DOUTPUT=${manual_gz} -P ${pelquist_render}
      DEPENDS ${pelquist_manual} ${pelquist_render}
      COMMENT "Compressing the manual page" VERBATIM)
    add_custom_command(OUTPUT ${changelog_gz}
      COMMAND ${CMAKE_COMMAND} -DMODE=gzip -DGZIP=${PELQUIST_GZIP} -DINPUT=${pelquist_changelog}
              -DOUTPUT=${changelog_gz} -P ${pelquist_render}
      DEPENDS ${pelquist_changelog} ${pelquist_render}
      COMMENT "Compressing the changelog" VERBATIM)
    list(APPEND docs ${manual_gz} ${changelog_gz})
    set(installed_manual ${manual_gz})
    set(installed_changelog ${changelog_gz})
    set(changelog_name changelog.gz)
  else()
    set(installed_manual ${pelquist_manual})
    set(installed_changelog ${pelquist_changelog})
    set(changelog_name changelog)
  endif()
  add_custom_target(pelquist_docs ALL DEPENDS ${docs})

  set(docdir ${CMAKE_INSTALL_DATAROOTDIR}/doc/pelquist-copy)
  install(TARGETS pelquist_copy RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${installed_manual} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES ${pelquist_completion}
          DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/bash-completion/completions)
  install(FILES ${pelquist_readme} ${copyright} DESTINATION ${docdir})
  install(FILES ${installed_changelog} DESTINATION ${docdir} RENAME ${changelog_name})
  # The .deb leaves this component out: Debian has the licence in copyright alone.
  install(FILES ${pelquist_license} DESTINATION ${docdir} RENAME LICENSE.txt
          COMPONENT license_text)
endif()

# --- packages
set(CPACK_PACKAGE_NAME pelquist_copy)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PELQUIST_FILE_DESCRIPTION}")
set(CPACK_STRIP_FILES ON)
set(CPACK_SOURCE_GENERATOR "")
if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME pelquist_copy-${PROJECT_VERSION}-win64)
else()
  string(TOLOWER "${CMAKE_SYSTEM_NAME}-${CMAKE_SYSTEM_PROCESSOR}" pelquist_system)
  set(CPACK_PACKAGE_FILE_NAME pelquist_copy-${PROJECT_VERSION}-${pelquist_system})
  set(CPACK_GENERATOR TGZ)
  if(CMAKE_SYSTEM_NAME STREQUAL "Linux")
    list(APPEND CPACK_GENERATOR DEB)
    # The maintainer and the long description as debian/control has them for
    # dpkg-buildpackage, so that both .debs say the same.
    set(pelquist_control ${CMAKE_CURRENT_SOURCE_DIR}/debian/control)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${pelquist_control})
    file(READ ${pelquist_control} control)
    if(NOT control MATCHES "\nMaintainer: ([^\n]+)")
      message(FATAL_ERROR "${pelquist_control} names no maintainer")
    endif()
    set(CPACK_PACKAGE_CONTACT "${CMAKE_MATCH_1}")
    if(NOT control MATCHES "\nDescription: [^\n]+\n(( [^\n]*\n)+)")
      message(FATAL_ERROR "${pelquist_control} has no long description")
    endif()
    # Its lines less their leading space, " ." an empty line; CPack writes them back.
    string(REPLACE "\n " "\n" description "\n${CMAKE_MATCH_1}")
    string(REPLACE "\n.\n" "\n\n" description "${description}")
    string(STRIP "${description}" CPACK_DEBIAN_PACKAGE_DESCRIPTION)
    set(CPACK_DEBIAN_PACKAGE_NAME pelquist-copy)
    set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
    set(CPACK_DEBIAN_PACKAGE_SECTION utils)
    set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
    # The C and C++ libraries that the program links, from dpkg-shlibdeps (dpkg-dev).
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
    # Only the files of the default component (cmake/cpack-options.cmake).
    set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_SOURCE_DIR}/cmake/cpack-options.cmake)
  endif()
endif()
include(CPack)
