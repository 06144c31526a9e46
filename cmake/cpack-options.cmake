# Read by cpack once for each package it makes (CPACK_PROJECT_CONFIG_FILE).
# The .deb installs only the default component: all but LICENSE.txt, whose text the
# .deb has in /usr/share/doc/pelquist-copy/copyright, as Debian wants it.
if(CPACK_GENERATOR STREQUAL "DEB")
  string(REPLACE ";ALL;" ";Unspecified;" CPACK_INSTALL_CMAKE_PROJECTS
         "${CPACK_INSTALL_CMAKE_PROJECTS}")
endif()
