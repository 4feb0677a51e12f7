# `cpack -G DEB` in the build directory packs what `cmake --install` puts under /usr.
set(KX_PACKAGE_CONTACT "KAPLIX install assistant maintainers <maintainers@users.noreply.c-seed-3ef3709a.example>"
  CACHE STRING "Maintainer of the Debian package, \"Name <address>\"")

set(CPACK_PACKAGE_NAME kaplix-install-assistant)
set(CPACK_PACKAGE_VENDOR KAPLIX)
set(CPACK_PACKAGE_CONTACT "${KX_PACKAGE_CONTACT}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "KAPLIX install assistant: downloads and starts the setup programs of KAPLIX")
set(CPACK_PACKAGE_DESCRIPTION
  "A small desktop program that prepares the installation of KAPLIX, a protein-analysis
application. It reports whether KAPLIX is already installed, lists which setup files are
present, downloads the chosen setup file for the chosen version with a progress dialog, and
starts it. The setup programs are Windows programs, started with Wine.")
set(CPACK_PACKAGE_HOMEPAGE_URL "${KX_HOMEPAGE}")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# Debian ships programs without their debugging information.
set(CPACK_STRIP_FILES ON)
# Without a platform plugin Qt opens no window at all. libcurl and libsmbclient are opened
# when first needed, so dpkg-shlibdeps cannot see them.
set(kx_debian_depends "qt6-qpa-plugins, libcurl4, libsmbclient")
find_program(KX_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(KX_DPKG_SHLIBDEPS)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
else()
  string(APPEND kx_debian_depends ", libqt6core6, libqt6gui6, libqt6widgets6")
endif()
set(CPACK_DEBIAN_PACKAGE_DEPENDS "${kx_debian_depends}")
# Setup programs are Windows programs; the design's font Tahoma comes with Wine's fonts; other
# files (the manual) open with the desktop's default program.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "wine, fonts-wine, xdg-utils")

include(CPack)
