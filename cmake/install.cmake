# Installing Tessary as a Linux desktop expects it, and packing that install into a .deb:
#   cmake --install build --prefix /usr/local
#   (cd build && cpack -G DEB)
# The program finds its banners and guide in ../share/tessary from its own folder, so the
# destinations below are fixed rather than taken from GNUInstallDirs.

# Installing and packing take the tree as built: they do not walk every target (and its
# hundreds of tests) again first. Build before installing.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

install(TARGETS tessary-cli RUNTIME DESTINATION bin)

# ---- the manual page of tessary-cli, made from its --help by help2man
find_program(HELP2MAN help2man)
if(HELP2MAN AND NOT TESSARY_SANITIZE AND NOT TESSARY_FUZZ)
  set(CLI_MAN_PAGE ${CMAKE_BINARY_DIR}/man/tessary-cli.1)
  add_custom_command(OUTPUT ${CLI_MAN_PAGE}.gz
                     COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
                     COMMAND ${HELP2MAN} --no-info --name "merge images without a display"
                             --include ${CMAKE_SOURCE_DIR}/packaging/tessary-cli.h2m
                             --output ${CLI_MAN_PAGE} $<TARGET_FILE:tessary-cli>
                     COMMAND gzip -9nf ${CLI_MAN_PAGE}
                     DEPENDS tessary-cli ${CMAKE_SOURCE_DIR}/packaging/tessary-cli.h2m
                     COMMENT "Writing the manual page of tessary-cli")
  add_custom_target(cli_man_page ALL DEPENDS ${CLI_MAN_PAGE}.gz)
  install(FILES ${CLI_MAN_PAGE}.gz DESTINATION share/man/man1)
elseif(NOT HELP2MAN)
  message(STATUS "help2man not found: tessary-cli is installed without its manual page")
endif()

if(NOT TESSARY_CORE_ONLY)
  install(TARGETS tessary RUNTIME DESTINATION bin)
  set(INSTALLED_BANNERS)
  foreach(n RANGE 1 7)
    list(APPEND INSTALLED_BANNERS ${CMAKE_BINARY_DIR}/intro${n}.jpg)
  endforeach()
  install(FILES ${INSTALLED_BANNERS} DESTINATION share/tessary)
  install(DIRECTORY ${CMAKE_SOURCE_DIR}/docs/guide/ DESTINATION share/tessary/guide)
  install(FILES ${CMAKE_SOURCE_DIR}/packaging/tessary.desktop DESTINATION share/applications)
  install(FILES ${CMAKE_SOURCE_DIR}/packaging/io.github.tessary.Tessary.metainfo.xml DESTINATION share/metainfo)
  install(DIRECTORY ${CMAKE_BINARY_DIR}/icons/hicolor DESTINATION share/icons)
  install(FILES ${CMAKE_SOURCE_DIR}/LICENSE DESTINATION share/doc/tessary)
endif()

# ---- the .deb
set(CPACK_PACKAGE_NAME tessary)
set(CPACK_PACKAGE_VENDOR "Tessary")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "image merger: place up to eight images and blend them into one")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "image merger: place up to eight images and blend them into one
 Tessary loads up to eight images as sources, places them relative to each
 other (move, resize, rotate, mirror, quick-align, collage) and merges them into
 one target image: opaque top and bottom layers and a middle layer blended by
 average, brightest, darkest, most or least colored, with bias weights, faded
 edges and fuzziness. The target is saved whole, as a zone or as tiles in BMP,
 JPEG, PNG, TIFF, TGA or PCX.
 .
 The package also holds tessary-cli, which merges from a layout file without a
 display.")
set(TESSARY_PACKAGE_MAINTAINER "Tessary maintainers <maintainers@tessary.invalid>"
    CACHE STRING "The Maintainer field of the .deb")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${TESSARY_PACKAGE_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# The libraries the programs link come from dpkg-shlibdeps; Qt's X11 and Wayland platform
# plugins are loaded at run time, so that package is named by hand.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_GENERATOR DEB)
include(CPack)
