# CPack: `cpack -G DEB` in a build folder makes a Debian package of the
# installation under /usr, with its system settings in /etc/xdg.

set(CPACK_PACKAGE_NAME tintaroo)
set(CPACK_PACKAGE_VENDOR Quorvex)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "colouring book for young children")
set(CPACK_PACKAGE_DESCRIPTION
    "Tintaroo! is a colouring book for young children. Each page of a book is a\n"
    "line-art picture with a spoken story or a tune. Children colour it with a\n"
    "fill, a brush or a line in thirty colours, print it, and watch the whole\n"
    "book as a slide show. A sample book and spoken colouring instructions come\n"
    "with it, and the tintaroo-book tool checks books and turns pictures into\n"
    "pages.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_PACKAGE_CONTACT "Quorvex <packages@quorvex.org>" CACHE STRING
    "Maintainer of the Debian package (Name <address>)")
# The installed volume and settings files name absolute paths, written at
# install time from the prefix: CPack must install with the package's own
# prefix and put its staging folder in DESTDIR, not in the prefix.
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_INSTALL_PREFIX ${CPACK_PACKAGING_INSTALL_PREFIX})
set(CPACK_SET_DESTDIR ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries the programs link (Qt 6 Widgets and PrintSupport, SDL2_mixer)
# come from dpkg-shlibdeps (package dpkg-dev); the sound font is opened at run
# time, so MIDI pages need it named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "timgm6mb-soundfont | sf2-soundfont-gm")

# The system settings file is an administrator's to change: dpkg keeps their
# edits on upgrade.
# Under the prefix /usr a relative settings folder is /etc.
set(package_sysconfdir /${CMAKE_INSTALL_SYSCONFDIR})
if(IS_ABSOLUTE ${CMAKE_INSTALL_SYSCONFDIR})
    set(package_sysconfdir ${CMAKE_INSTALL_SYSCONFDIR})
endif()
set(conffiles ${CMAKE_BINARY_DIR}/packaging/conffiles)
file(WRITE ${conffiles} "${package_sysconfdir}/xdg/Quorvex/Tintaroo!.conf\n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${conffiles})

include(CPack)
