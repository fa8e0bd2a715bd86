# Installation and the Debian package (`make package`): both programs, the
# udev rule with the scripts that load it, the desktop entry, the AppStream
# metainfo, the icon in the hicolor theme, the manual pages and the copyright
# file.
include(GNUInstallDirs)

set(KV_LINUX ${PROJECT_SOURCE_DIR}/packaging/linux)
set(KV_GENERATED ${PROJECT_BINARY_DIR}/packaging)

# udev reads /usr/lib/udev/rules.d on every systemd system.
install(FILES ${KV_LINUX}/70-kestvelqor.rules DESTINATION lib/udev/rules.d)
install(FILES ${KV_LINUX}/kestvelqor.metainfo.xml
    DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo
    RENAME example.kestlighting.kestvelqor.metainfo.xml)
install(FILES ${KV_LINUX}/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})
# The web page as a user service (systemctl --user enable kestvelqor-serve).
install(FILES ${KV_LINUX}/kestvelqor-serve.service ${KV_LINUX}/kestvelqor-serve@.service
    DESTINATION lib/systemd/user)

# The icon as PNG in the sizes desktops ask for, drawn from the SVG.
find_program(RSVG_CONVERT rsvg-convert)
if(RSVG_CONVERT)
    set(icon_pngs)
    foreach(size 16 22 24 32 48 64 128 256)
        set(png ${KV_GENERATED}/icons/${size}x${size}/kestvelqor.png)
        add_custom_command(OUTPUT ${png}
            COMMAND ${CMAKE_COMMAND} -E make_directory ${KV_GENERATED}/icons/${size}x${size}
            COMMAND ${RSVG_CONVERT} -w ${size} -h ${size}
                -o ${png} ${PROJECT_SOURCE_DIR}/assets/icons/kestvelqor.svg
            DEPENDS ${PROJECT_SOURCE_DIR}/assets/icons/kestvelqor.svg
            VERBATIM)
        list(APPEND icon_pngs ${png})
        install(FILES ${png}
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
    endforeach()
    add_custom_target(kv_icons ALL DEPENDS ${icon_pngs})
else()
    message(WARNING "rsvg-convert not found: the package gets no PNG icons")
endif()

# Manual pages: the command line's is made from its help text, the window's
# is written by hand.
find_program(HELP2MAN help2man)
find_program(GZIP gzip)
set(man_pages ${KV_GENERATED}/man/kestvelqor.1.gz)
add_custom_command(OUTPUT ${KV_GENERATED}/man/kestvelqor.1.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${KV_GENERATED}/man
    COMMAND ${GZIP} -9nc ${KV_LINUX}/kestvelqor.1 > ${KV_GENERATED}/man/kestvelqor.1.gz
    DEPENDS ${KV_LINUX}/kestvelqor.1
    VERBATIM)
if(HELP2MAN)
    add_custom_command(OUTPUT ${KV_GENERATED}/man/kestvelqorctl.1.gz
        COMMAND ${CMAKE_COMMAND} -E make_directory ${KV_GENERATED}/man
        COMMAND ${HELP2MAN} --no-info --section=1 --source=kestvelqor
            "--name=command-line companion of the KestVELQOR aquarium-light controller"
            --output=${KV_GENERATED}/man/kestvelqorctl.1 $<TARGET_FILE:kestvelqorctl>
        COMMAND ${GZIP} -9nf ${KV_GENERATED}/man/kestvelqorctl.1
        DEPENDS kestvelqorctl
        VERBATIM)
    list(APPEND man_pages ${KV_GENERATED}/man/kestvelqorctl.1.gz)
else()
    message(WARNING "help2man not found: the package gets no manual page of kestvelqorctl")
endif()
add_custom_target(kv_man_pages ALL DEPENDS ${man_pages})
install(FILES ${man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# The package.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kestvelqor)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Kest Lighting")
set(CPACK_PACKAGE_CONTACT "KestVELQOR companion developers <kestvelqor@kestlighting.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "companion program of the KestVELQOR aquarium-light controller")
# The first line of the description is the summary; CPack indents the rest.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Finds the KestVELQOR lighting controller (a USB board driving four LED
channels of an aquarium light) and shows and edits everything it holds: the
channels, the day schedule and its curve, the place whose sun and moon it
follows, weather, moonlight, fan and backlight, time-zone rules and the
recorded chart. Keeps the board's clock in step, backs up its settings and
updates its firmware. Includes kestvelqorctl for headless machines and
scripts, and a udev rule that gives the logged-in user access to the board.")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded at run time, so no library dependency names it: the history's
# SQLite driver of Qt SQL. The MQTT bridge's client library is named too, so
# the bridge is there whatever the computed dependencies say.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6sql6-sqlite, libmosquitto1")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${KV_LINUX}/postinst ${KV_LINUX}/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
include(CPack)
