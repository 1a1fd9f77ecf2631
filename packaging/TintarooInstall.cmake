# Where an installation puts things (GNUInstallDirs: bin/, share/, etc/), and
# the helper for files that must name installed paths.
#
# The installed data folder is <datadir>/tintaroo: the spoken prompts in
# sounds/, the books in books/ (each book's folder beside its .vol file).
include(GNUInstallDirs)

set(TINTAROO_INSTALL_DATADIR ${CMAKE_INSTALL_DATADIR}/tintaroo)
# The reverse-DNS name of the desktop entry, metainfo, MIME package and icon.
set(TINTAROO_APP_ID org.quorvex.Tintaroo)

set(TINTAROO_CONFIGURE_INSTALLED ${CMAKE_CURRENT_LIST_DIR}/configure_installed.cmake)

# tintaroo_install_configured(TEMPLATE NAME
#     DATA <dir under the data folder> | SYSCONF <dir under the settings folder>
#     [QT_FORMAT] [SET VAR RELPATH...])
# Installs TEMPLATE (relative to the calling folder) as NAME, its @VAR@s
# replaced at install time by the installed data folder joined with RELPATH:
# the prefix is chosen only then (`cmake --install --prefix`, CPack). With
# QT_FORMAT the values are quoted for Qt's settings format.
function(tintaroo_install_configured template name)
    cmake_parse_arguments(PARSE_ARGV 2 ARG "QT_FORMAT" "DATA;SYSCONF" "SET")
    if(DEFINED ARG_SYSCONF)
        set(kind SYSCONF)
        set(dir ${ARG_SYSCONF})
    else()
        set(kind DATA)
        set(dir ${ARG_DATA})
    endif()
    set(format plain)
    if(ARG_QT_FORMAT)
        set(format qt)
    endif()
    get_filename_component(template ${template} ABSOLUTE)
    set(staging ${CMAKE_CURRENT_BINARY_DIR}/installed)
    set(args "")
    foreach(arg ${template} ${name} ${kind} ${dir} ${staging} ${format}
            ${TINTAROO_INSTALL_DATADIR} ${CMAKE_INSTALL_SYSCONFDIR} ${ARG_SET})
        string(APPEND args " [==[${arg}]==]")
    endforeach()
    install(CODE "include([==[${TINTAROO_CONFIGURE_INSTALLED}]==])
tintaroo_configure_installed(${args})")
endfunction()
