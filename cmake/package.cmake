# Installation and "make package": a Debian package of the three programs, built by CPack
# from the install rules below. The programs install themselves (src/app, src/cli,
# tools/radiosim); this file adds what makes them at home on a desktop.
include(GNUInstallDirs)

set(ZRK6_PACKAGE_CONTACT "ZR-K6 programmer developers <zrk6@example.org>")
set(zrk6_generated ${PROJECT_BINARY_DIR}/package)

# Files that carry the version.
configure_file(${PROJECT_SOURCE_DIR}/resources/zrk6.metainfo.xml.in
               ${zrk6_generated}/zrk6.metainfo.xml @ONLY)
configure_file(${PROJECT_SOURCE_DIR}/resources/debian/changelog.in
               ${zrk6_generated}/changelog @ONLY)

# Manual pages and the changelog are installed compressed, without time stamps.
set(zrk6_gzipped)
foreach(page zrk6.1 zrk6-cli.1 zrk6-radiosim.1)
  configure_file(${PROJECT_SOURCE_DIR}/docs/man/${page} ${zrk6_generated}/${page} @ONLY)
  list(APPEND zrk6_gzipped ${page})
endforeach()
list(APPEND zrk6_gzipped changelog)
set(zrk6_gzipped_outputs)
foreach(name ${zrk6_gzipped})
  add_custom_command(OUTPUT ${zrk6_generated}/${name}.gz
    COMMAND gzip -9nc ${zrk6_generated}/${name} > ${zrk6_generated}/${name}.gz
    DEPENDS ${zrk6_generated}/${name}
    VERBATIM)
  list(APPEND zrk6_gzipped_outputs ${zrk6_generated}/${name}.gz)
endforeach()
add_custom_target(zrk6_package_files ALL DEPENDS ${zrk6_gzipped_outputs})

install(FILES ${PROJECT_SOURCE_DIR}/resources/zrk6.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/resources/zrk6-mime.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages
        RENAME zrk6.xml)
install(FILES ${zrk6_generated}/zrk6.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
foreach(size 16 22 24 32 48 64 128 256)
  install(FILES ${PROJECT_SOURCE_DIR}/resources/icons/zrk6-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME zrk6.png)
endforeach()
install(FILES ${zrk6_generated}/zrk6.1.gz ${zrk6_generated}/zrk6-cli.1.gz ${zrk6_generated}/zrk6-radiosim.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${PROJECT_SOURCE_DIR}/resources/debian/copyright ${zrk6_generated}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zrk6)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${ZRK6_PACKAGE_CONTACT})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "programmer for ZR-K6 handheld radios")
set(CPACK_PACKAGE_DESCRIPTION
    "Reads the memory of ZR-K6A, ZR-K6B and ZR-K6C dual-band handheld FM
radios over the programming cable, edits its 128 channels, the band and
the radio-wide options, saves and opens data files, prints a channel list
and writes the memory back. English and Chinese.
.
The package holds zrk6 (the window), zrk6-cli (the same engine on the
command line, with a cable doctor) and zrk6-radiosim (a virtual radio on
a pseudo-terminal).")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION hamradio)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The shared libraries come from dpkg-shlibdeps; Qt's platform plugins are loaded at run
# time. Qt's Chinese texts are built into the programs.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-wqy-microhei")
set(CPACK_THREADS 0)
include(CPack)
