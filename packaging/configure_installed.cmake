# Runs at install time (from cmake_install.cmake), when the prefix is known:
# `cmake --install build --prefix P` and CPack both choose it then, not at
# configure time. Files that name installed paths are written here with the
# absolute folders of the installation filled in.

# The absolute form of an install folder, as GNUInstallDirs makes it: an
# absolute folder stays; a relative one goes under the prefix, except the
# settings folder of a system prefix ("/" or "/usr" keep theirs in /etc,
# "/opt/NAME" in /etc/opt/NAME).
function(tintaroo_installed_dir out dir kind)
    # A relative prefix (`--prefix inst`) is taken from the current folder, as
    # the files themselves are installed; the prefix "/" arrives as "".
    set(prefix "${CMAKE_INSTALL_PREFIX}")
    if(prefix STREQUAL "")
        set(prefix /)
    endif()
    get_filename_component(prefix "${prefix}" ABSOLUTE)
    if(IS_ABSOLUTE "${dir}")
        set(full "${dir}")
    elseif(kind STREQUAL "SYSCONF" AND prefix MATCHES "^/(usr)?$")
        set(full "/${dir}")
    elseif(kind STREQUAL "SYSCONF" AND prefix MATCHES "^/opt/[^/]+$")
        set(full "/${dir}${prefix}")
    elseif(prefix STREQUAL "/")
        set(full "/${dir}")
    else()
        set(full "${prefix}/${dir}")
    endif()
    set(${out} "${full}" PARENT_SCOPE)
endfunction()

# A value in Qt's settings format: in double quotes, so that ',' (a list) and
# ';' (a comment) in a folder name stay part of it, with '\' and '"' escaped.
function(tintaroo_qt_quoted out value)
    string(REPLACE "\\" "\\\\" value "${value}")
    string(REPLACE "\"" "\\\"" value "${value}")
    set(${out} "\"${value}\"" PARENT_SCOPE)
endfunction()

# tintaroo_configure_installed(TEMPLATE NAME DEST_KIND DEST_DIR STAGING FORMAT
#                              DATA_DIR SYSCONF_DIR [VAR RELPATH]...)
# Installs TEMPLATE as NAME into DEST_DIR (under the data folder when
# DEST_KIND is DATA, under the settings folder when SYSCONF), with each
# @VAR@ replaced by the installed data folder joined with RELPATH (a trailing
# '/' is kept). FORMAT "qt" quotes the values for Qt's settings format,
# "plain" writes them as they are. STAGING is a build folder for the
# written file before it is installed.
function(tintaroo_configure_installed template name dest_kind dest_dir staging format
         data_dir sysconf_dir)
    tintaroo_installed_dir(data "${data_dir}" DATA)
    tintaroo_installed_dir(sysconf "${sysconf_dir}" SYSCONF)
    set(pairs ${ARGN})
    while(pairs)
        list(POP_FRONT pairs var rel)
        set(value "${data}/${rel}")
        if(format STREQUAL "qt")
            tintaroo_qt_quoted(value "${value}")
        endif()
        set(${var} "${value}")
    endwhile()
    if(dest_kind STREQUAL "SYSCONF")
        set(destination "${sysconf}/${dest_dir}")
    else()
        set(destination "${data}/${dest_dir}")
    endif()

    file(READ "${template}" text)
    string(CONFIGURE "${text}" text @ONLY)
    # One staging file per installation, so that two installs into different
    # prefixes at the same time do not write over each other's file.
    string(SHA1 key "$ENV{DESTDIR}|${CMAKE_INSTALL_PREFIX}")
    set(written "${staging}/${key}/${name}")
    file(WRITE "${written}" "${text}")
    # An installed volume file has no write permission at all, so the program
    # treats the book as read-only for every user, root included, and keeps a
    # child's colouring in that user's data folder.
    if(dest_kind STREQUAL "DATA")
        set(mode PERMISSIONS OWNER_READ GROUP_READ WORLD_READ)
    else()
        set(mode "")
    endif()
    file(INSTALL DESTINATION "${destination}" TYPE FILE FILES "${written}" ${mode})
    file(REMOVE_RECURSE "${staging}/${key}")
    # file(INSTALL) records the file for install_manifest.txt in this scope.
    set(CMAKE_INSTALL_MANIFEST_FILES "${CMAKE_INSTALL_MANIFEST_FILES}" PARENT_SCOPE)
endfunction()
