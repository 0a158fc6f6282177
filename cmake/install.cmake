# Installation after Debian's games conventions, and the Debian packages
# (make package). Paths are relative to the install prefix:
#   games/tumbix                     launcher: changes to the content folder, starts the program
#   lib/games/tumbix/tumbix          the program
#   share/games/tumbix/              read-only content (everything in data/)
#   share/applications/tumbix.desktop, share/icons/hicolor/*/apps/tumbix.png,
#   share/metainfo/*.metainfo.xml, share/man/man6/tumbix.6.gz,
#   share/doc/tumbix/{copyright,changelog.Debian.gz}, share/lintian/overrides/tumbix
# and, for the level designer's package (component tools, tumbix-tools):
#   games/{tumbix-edit,levelcheck,levelgen}, their manual pages in share/man/man6,
#   share/applications/tumbix-edit.desktop, share/doc/tumbix-tools/levels.md.gz and the
#   same copyright, changelog and overrides files
# The launcher and the editor find the program and the content relative to
# themselves, so an installed tree can be moved or unpacked anywhere.

# The version is project()'s; the release date goes with it.
set(TUMBIX_VERSION ${PROJECT_VERSION})
set(TUMBIX_RELEASE_DATE 2026-12-08)
set(TUMBIX_RELEASE_TIME "Tue, 08 Dec 2026 12:00:00 +0000")
set(TUMBIX_RELEASE_EPOCH 1796731200)

# Build folders configured before these settings existed hold placeholder
# values under the same names; those go.
foreach(setting TUMBIX_HOMEPAGE TUMBIX_APPSTREAM_ID TUMBIX_MAINTAINER)
  if("${${setting}}" MATCHES "c[-_]seed[-_]a5863513")
    unset(${setting} CACHE)
  endif()
endforeach()

# Settings for whoever publishes or packages the game. Tumbix has no home
# page of its own yet: without one the package has no Homepage field and the
# AppStream metadata no links or screenshots (which would name it).
set(TUMBIX_HOMEPAGE "" CACHE STRING
  "Project home page (https://...); its docs/ must serve the README's screenshots. Empty: none")
# The AppStream id is the reversed host name of the home page. The default
# lies under the reserved top-level domain "invalid": it claims no one's
# name; a publisher sets the real one (and keeps it from then on).
set(TUMBIX_APPSTREAM_ID "invalid.tumbix.tumbix" CACHE STRING "AppStream component id (reversed host name)")
# The package's Maintainer: the packager. Debian's own tools take it from
# DEBFULLNAME and DEBEMAIL; without them the default says who built it.
if(DEFINED ENV{DEBFULLNAME} AND DEFINED ENV{DEBEMAIL})
  set(maintainer_default "$ENV{DEBFULLNAME} <$ENV{DEBEMAIL}>")
else()
  set(maintainer_default "Tumbix local build <packager@tumbix.invalid>")
endif()
set(TUMBIX_MAINTAINER "${maintainer_default}" CACHE STRING "Package maintainer: Name <address>")
# The Debian revision of the package (VERSION-REVISION).
set(TUMBIX_DEBIAN_REVISION 1 CACHE STRING "Debian revision of the packages")
set(TUMBIX_DEB_VERSION ${TUMBIX_VERSION}-${TUMBIX_DEBIAN_REVISION})

set(TUMBIX_INSTALL_GAMESDIR games CACHE STRING "Launcher folder, relative to the prefix")
set(TUMBIX_INSTALL_PROGRAMDIR lib/games/tumbix CACHE STRING "Program folder, relative to the prefix")
set(TUMBIX_INSTALL_CONTENTDIR share/games/tumbix CACHE STRING "Content folder, relative to the prefix")
foreach(dir GAMESDIR PROGRAMDIR CONTENTDIR)
  if(IS_ABSOLUTE "${TUMBIX_INSTALL_${dir}}")
    message(FATAL_ERROR "TUMBIX_INSTALL_${dir} must be relative to the prefix")
  endif()
endforeach()

set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(pkg_src ${PROJECT_SOURCE_DIR}/packaging)
set(pkg_out ${CMAKE_BINARY_DIR}/packaging)

# Launcher: paths from its own folder to the content and to the program.
file(RELATIVE_PATH TUMBIX_LAUNCHER_TO_DATA /prefix/${TUMBIX_INSTALL_GAMESDIR} /prefix/${TUMBIX_INSTALL_CONTENTDIR})
file(RELATIVE_PATH TUMBIX_LAUNCHER_TO_PROGRAM /prefix/${TUMBIX_INSTALL_GAMESDIR}
  /prefix/${TUMBIX_INSTALL_PROGRAMDIR}/tumbix)
configure_file(${pkg_src}/tumbix.sh.in ${pkg_out}/tumbix @ONLY)
# The editor sits beside the launcher and finds the same two the same way.
if(TARGET tumbix-edit)
  target_compile_definitions(tumbix-edit PRIVATE TUMBIX_EDITOR_TO_CONTENT="${TUMBIX_LAUNCHER_TO_DATA}"
    TUMBIX_EDITOR_TO_GAME="${TUMBIX_LAUNCHER_TO_PROGRAM}")
endif()

# Links and screenshots in the AppStream metadata only where there is a home
# page to point at.
set(TUMBIX_METAINFO_LINKS "")
if(TUMBIX_HOMEPAGE)
  string(CONCAT TUMBIX_METAINFO_LINKS
    "  <url type=\"homepage\">${TUMBIX_HOMEPAGE}</url>\n"
    "  <screenshots>\n"
    "    <screenshot type=\"default\">\n"
    "      <caption>The avatar rolls towards a collectable on the first level</caption>\n"
    "      <image type=\"source\" width=\"1280\" height=\"1024\">${TUMBIX_HOMEPAGE}/docs/screenshot-rolling.png</image>\n"
    "    </screenshot>\n"
    "    <screenshot>\n"
    "      <caption>Turning the block under the avatar changes its way</caption>\n"
    "      <image type=\"source\" width=\"1280\" height=\"1024\">${TUMBIX_HOMEPAGE}/docs/screenshot-turning.png</image>\n"
    "    </screenshot>\n"
    "  </screenshots>\n")
endif()
configure_file(${pkg_src}/tumbix.metainfo.xml.in ${pkg_out}/${TUMBIX_APPSTREAM_ID}.metainfo.xml @ONLY)
foreach(package tumbix tumbix-tools)
  set(TUMBIX_PACKAGE ${package})
  configure_file(${pkg_src}/changelog.in ${pkg_out}/${package}.doc/changelog.Debian @ONLY)
endforeach()

# Manual pages, changelogs and long documents are shipped compressed, without
# time stamps.
find_program(GZIP gzip REQUIRED)
set(gz_sources ${pkg_src}/tumbix.6 ${pkg_src}/tumbix-edit.6 ${pkg_src}/levelcheck.6 ${pkg_src}/levelgen.6
  ${pkg_out}/tumbix.doc/changelog.Debian ${pkg_out}/tumbix-tools.doc/changelog.Debian ${PROJECT_SOURCE_DIR}/docs/levels.md)
foreach(in ${gz_sources})
  string(FIND "${in}" "${pkg_out}/" at)
  if(at EQUAL 0)
    file(RELATIVE_PATH rel ${pkg_out} ${in})  # a configured file keeps its folder
  else()
    get_filename_component(rel ${in} NAME)
  endif()
  add_custom_command(OUTPUT ${pkg_out}/${rel}.gz
    COMMAND ${GZIP} -9nc ${in} > ${pkg_out}/${rel}.gz
    DEPENDS ${in} VERBATIM)
  list(APPEND pkg_compressed ${pkg_out}/${rel}.gz)
endforeach()
add_custom_target(tumbix_package_docs ALL DEPENDS ${pkg_compressed})

# The shipped programs' global offset tables are read-only once they run.
set(shipped_tools tumbix-edit levelcheck levelgen)
foreach(target tumbix ${shipped_tools})
  target_link_options(${target} PRIVATE LINKER:-z,relro,-z,now)
endforeach()

install(TARGETS tumbix RUNTIME DESTINATION ${TUMBIX_INSTALL_PROGRAMDIR} COMPONENT game)
install(PROGRAMS ${pkg_out}/tumbix DESTINATION ${TUMBIX_INSTALL_GAMESDIR} COMPONENT game)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/data/ DESTINATION ${TUMBIX_INSTALL_CONTENTDIR} COMPONENT game)
install(FILES ${pkg_src}/tumbix.desktop DESTINATION share/applications COMPONENT game)
install(DIRECTORY ${pkg_src}/icons/hicolor DESTINATION share/icons COMPONENT game)
install(FILES ${pkg_out}/${TUMBIX_APPSTREAM_ID}.metainfo.xml DESTINATION share/metainfo COMPONENT game)
install(FILES ${pkg_out}/tumbix.6.gz DESTINATION share/man/man6 COMPONENT game)
install(FILES ${pkg_src}/copyright ${pkg_out}/tumbix.doc/changelog.Debian.gz DESTINATION share/doc/tumbix
  COMPONENT game)
install(FILES ${pkg_src}/lintian/tumbix DESTINATION share/lintian/overrides COMPONENT game)

install(TARGETS ${shipped_tools} RUNTIME DESTINATION ${TUMBIX_INSTALL_GAMESDIR} COMPONENT tools)
install(FILES ${pkg_src}/tumbix-edit.desktop DESTINATION share/applications COMPONENT tools)
install(FILES ${pkg_out}/tumbix-edit.6.gz ${pkg_out}/levelcheck.6.gz ${pkg_out}/levelgen.6.gz
  DESTINATION share/man/man6 COMPONENT tools)
install(FILES ${pkg_src}/copyright ${pkg_out}/tumbix-tools.doc/changelog.Debian.gz ${pkg_out}/levels.md.gz
  DESTINATION share/doc/tumbix-tools COMPONENT tools)
install(FILES ${pkg_src}/lintian/tumbix-tools DESTINATION share/lintian/overrides COMPONENT tools)

# The Debian packages from one cpack run: tumbix_<version>_<arch>.deb and
# tumbix-tools_<version>_<arch>.deb in the build folder.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tumbix)
set(CPACK_PACKAGE_VERSION ${TUMBIX_VERSION})
set(CPACK_DEBIAN_PACKAGE_RELEASE ${TUMBIX_DEBIAN_REVISION})
set(CPACK_PACKAGE_VENDOR "The Tumbix developers")
set(CPACK_PACKAGE_CONTACT "${TUMBIX_MAINTAINER}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL game tools)
set(CPACK_DEBIAN_GAME_PACKAGE_NAME tumbix)
set(CPACK_DEBIAN_TOOLS_PACKAGE_NAME tumbix-tools)
set(CPACK_COMPONENT_GAME_DESCRIPTION "3-D puzzle game: turn the blocks under a rolling brain
A level is a connected structure of cubes. The avatar, a brain in a
spherical cage, rolls over the faces of the blocks one face per step. You
do not steer it: you turn the block under it a quarter turn, which changes
what lies ahead. Collect everything to open the goal, avoid the black
holes, and roll into the goal to reach the next level.")
set(CPACK_COMPONENT_TOOLS_DESCRIPTION "level editor, checker and generator for Tumbix
Tools for designing levels of the 3-D puzzle game Tumbix: tumbix-edit, a
level editor that draws the level as the game does, says while you build
whether and how it can be won, and plays it in the installed game;
levelcheck, which loads level files with the game's loader and finds the
shortest win; and levelgen, which builds levels from shape primitives and
keeps those it can prove. The level format is described in levels.md.")
set(CPACK_DEBIAN_TOOLS_PACKAGE_DEPENDS "tumbix (= ${TUMBIX_DEB_VERSION})")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
find_program(DPKG dpkg)
if(DPKG)
  execute_process(COMMAND ${DPKG} --print-architecture OUTPUT_VARIABLE CPACK_DEBIAN_PACKAGE_ARCHITECTURE
    OUTPUT_STRIP_TRAILING_WHITESPACE)
endif()
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
if(TUMBIX_HOMEPAGE)
  set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${TUMBIX_HOMEPAGE}")
endif()
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_SOURCE_GENERATOR "")
# Archive times from the last commit (SOURCE_DATE_EPOCH), set when cpack runs.
configure_file(${PROJECT_SOURCE_DIR}/cmake/cpack_options.cmake.in ${CMAKE_BINARY_DIR}/CPackOptions.cmake @ONLY)
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_BINARY_DIR}/CPackOptions.cmake)
include(CPack)

if(TUMBIX_TESTS)
  # The packages, their validators, the installed game and editor under Xvfb
  # (label package), and a second build of the packages from another folder.
  find_package(Python3 COMPONENTS Interpreter REQUIRED)
  add_test(NAME package_build
    COMMAND ${CMAKE_CPACK_COMMAND} -G DEB --config ${CMAKE_BINARY_DIR}/CPackConfig.cmake
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR})
  set_tests_properties(package_build PROPERTIES LABELS package TIMEOUT 300 FIXTURES_SETUP tumbix_deb)
  set(deb_suffix ${TUMBIX_DEB_VERSION}_${CPACK_DEBIAN_PACKAGE_ARCHITECTURE}.deb)
  set(labels_Validators package)
  set(labels_ToolsValidators package)
  set(labels_InstalledGame "package;e2e")
  set(labels_InstalledTools "package;e2e")
  set(labels_Reproducible package)
  foreach(kind Validators ToolsValidators InstalledGame InstalledTools Reproducible)
    add_test(NAME package_${kind}
      COMMAND ${Python3_EXECUTABLE} -m unittest -v test_package.${kind}
      WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}/tests/package)
    set_tests_properties(package_${kind} PROPERTIES LABELS "${labels_${kind}}" TIMEOUT 300 RUN_SERIAL TRUE
      FIXTURES_REQUIRED tumbix_deb
      ENVIRONMENT "TUMBIX_DEB=${CMAKE_BINARY_DIR}/tumbix_${deb_suffix};TUMBIX_TOOLS_DEB=${CMAKE_BINARY_DIR}/tumbix-tools_${deb_suffix};TUMBIX_BUILD=${CMAKE_BINARY_DIR};TUMBIX_OUT=${PROJECT_SOURCE_DIR}/out/package")
  endforeach()
  set_tests_properties(package_Reproducible PROPERTIES TIMEOUT 1500)
endif()
