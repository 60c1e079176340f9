# The Debian package of both programs: cpack -G DEB --config build/CPackConfig.cmake
# (scripts/package does it). Its version is the project's, the one the programs'
# version blocks tell; its dependencies are computed from the programs.
include(GNUInstallDirs)
set(doc_dir ${CMAKE_INSTALL_DATADIR}/doc/${VIEWER_PACKAGE})

# A native package's own change log, compressed as Debian wants it (no time stamp).
string(TIMESTAMP build_date "%a, %d %b %Y %H:%M:%S +0000" UTC)
set(changelog ${CMAKE_BINARY_DIR}/package/changelog)
file(CONFIGURE OUTPUT ${changelog} CONTENT
"${VIEWER_PACKAGE} (${PROJECT_VERSION}) unstable; urgency=medium

  * Release ${PROJECT_VERSION} of the W830 and W840 viewers.

 -- Velmacor Support <support@velmacor.example>  ${build_date}
")
add_custom_command(OUTPUT ${changelog}.gz
  COMMAND gzip -9nkf ${changelog}
  DEPENDS ${changelog}
  VERBATIM)
add_custom_target(package_changelog ALL DEPENDS ${changelog}.gz)
install(FILES ${changelog}.gz ${CMAKE_SOURCE_DIR}/app/desktop/copyright DESTINATION ${doc_dir})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${VIEWER_PACKAGE})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR Velmacor)
set(CPACK_PACKAGE_CONTACT "Velmacor Support <support@velmacor.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "viewers for the W830 and W840 weighing indicators")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
"W830_830 and W840Viewer connect to one W830 or W840 digital weighing
indicator over a serial line or TCP. A technician watches a live copy of
its front panel, reads, edits, checks, writes, saves and prints its
settings, calibrates it and keeps a backup of its calibration, logs and
charts the weight and eight digital channels, finds indicators on the
network and can record all link traffic. Each program has a technician's
manual built in.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
include(CPack)
