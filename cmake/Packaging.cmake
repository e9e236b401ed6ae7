# Installation and the Debian package.
#
# The program looks for dbBlank.mdb (and the optional cursor and skin files) in its own folder, so the real
# binary lives in a private folder, lib/quorvane/, with the template beside it; bin/quorvane is a relative
# symbolic link to it (the program finds its folder through the link's target). Tests and benchmarks are not
# installed.
#
#   cmake --install BUILD --prefix /usr/local
#   cd BUILD && cpack -G DEB        # quorvane_<version>_amd64.deb

set(quorvane_private_dir lib/quorvane)

install(TARGETS quorvane RUNTIME DESTINATION ${quorvane_private_dir})
install(FILES ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/dbBlank.mdb DESTINATION ${quorvane_private_dir})

set(launcher ${CMAKE_CURRENT_BINARY_DIR}/launcher/quorvane)
file(MAKE_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/launcher)
file(CREATE_LINK ../${quorvane_private_dir}/quorvane ${launcher} SYMBOLIC)
install(FILES ${launcher} DESTINATION bin)

# Desktop files name the program by its application id; the icon, the desktop entry and the AppStream
# metainfo all carry it, so software centres and the desktop tie them together.
set(quorvane_app_id com.marrowfen.Quorvane)
foreach(size 16 32 48 64 128 256)
    install(FILES ${CMAKE_CURRENT_SOURCE_DIR}/resources/icons/quorvane-${size}.png
            DESTINATION share/icons/hicolor/${size}x${size}/apps RENAME ${quorvane_app_id}.png)
endforeach()
install(FILES ${CMAKE_CURRENT_SOURCE_DIR}/resources/icons/quorvane.svg
        DESTINATION share/icons/hicolor/scalable/apps RENAME ${quorvane_app_id}.svg)
install(FILES ${CMAKE_CURRENT_SOURCE_DIR}/resources/${quorvane_app_id}.desktop DESTINATION share/applications)
install(FILES ${CMAKE_CURRENT_SOURCE_DIR}/resources/${quorvane_app_id}.metainfo.xml DESTINATION share/metainfo)

# Man pages are installed compressed; -n leaves out the name and time, so the package is reproducible.
set(man_page ${CMAKE_CURRENT_BINARY_DIR}/man/quorvane.1)
add_custom_command(OUTPUT ${man_page}.gz
    COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_CURRENT_SOURCE_DIR}/resources/quorvane.1 ${man_page}
    COMMAND gzip -9nf ${man_page}
    DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/resources/quorvane.1
    COMMENT "Compressing the man page"
    VERBATIM)
add_custom_target(man_page ALL DEPENDS ${man_page}.gz)
install(FILES ${man_page}.gz DESTINATION share/man/man1)

# Debian looks for a package's licence in its doc folder, in the machine-readable copyright format.
install(FILES ${CMAKE_CURRENT_SOURCE_DIR}/resources/copyright DESTINATION share/doc/quorvane)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quorvane)
set(CPACK_PACKAGE_VENDOR Marrowfen)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Desktop ledger of money received and paid out")
set(CPACK_PACKAGE_DESCRIPTION
    "Quorvane keeps a single-user ledger of money movements, received or paid
out, with date, reason, payer, payee, amount, payment method and notes. It
lists them with Received / Paid / Balance totals, prints a report and exports
the list to a spreadsheet.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Marrowfen <support@marrowfen.example>")
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The windows are laid out in Arial; these carry its metric twins (Liberation Sans, Nimbus Sans).
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-liberation2 | fonts-urw-base35")
find_program(DPKG_SHLIBDEPS dpkg-shlibdeps)
# CPack tells the program from the other installed files with `file`, and stops without it.
find_program(FILE_PROGRAM file)
if(DPKG_SHLIBDEPS AND FILE_PROGRAM)
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
else()
    # dpkg-shlibdeps (dpkg-dev) or file is missing: name the libraries the program links by hand.
    set(CPACK_DEBIAN_PACKAGE_DEPENDS
        "libqt6charts6, libqt6widgets6, libqt6printsupport6, libqt6gui6, libqt6core6, libqt6network6, libsqlite3-0, libpq5, libxlsxwriter4, libzip4, libicu72, zlib1g, libc6, libstdc++6")
endif()

include(CPack)
