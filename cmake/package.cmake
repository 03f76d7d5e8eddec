# The Debian package: cmake --workflow --preset package writes
# build/release/lorentz-interp_VERSION_amd64.deb.
find_program(GZIP gzip REQUIRED)
set(changelog_gz ${CMAKE_BINARY_DIR}/changelog.gz)
add_custom_command(OUTPUT ${changelog_gz}
  COMMAND ${GZIP} -9nc ${CMAKE_SOURCE_DIR}/packaging/changelog > ${changelog_gz}
  DEPENDS ${CMAKE_SOURCE_DIR}/packaging/changelog VERBATIM)
add_custom_target(changelog ALL DEPENDS ${changelog_gz})
install(FILES packaging/copyright ${changelog_gz} DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME lorentz-interp)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_CONTACT "The lorentz-interp authors <lorentz-interp@users.noreply.github.com>")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_SOURCE_DIR}/cmake/package-check.cmake)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "interpolation-error study of a Lorentzian peak")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Console programs that measure how well interpolation reproduces the
Lorentzian 1/(1+((x-3.47)/0.57)^2) from a table of its samples: splerr
(natural cubic spline), quaderr (four-point quadratic, traced), loctest
(the bracketing search) and lorlist (lists the table), with gplot (SVG
figures), lorgen (sample tables) and lorconv (the convergence study).")
include(CPack)
