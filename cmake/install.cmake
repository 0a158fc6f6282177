# Installation after Debian's games conventions, and the Debian package
# (make package). Paths are relative to the install prefix:
#   games/tumbix                     launcher: changes to the content folder, starts the program
#   lib/games/tumbix/tumbix          the program
#   share/games/tumbix/              read-only content (everything in data/)
#   share/applications/tumbix.desktop, share/icons/hicolor/*/apps/tumbix.png,
#   share/metainfo/*.metainfo.xml, share/man/man6/tumbix.6.gz,
#   share/doc/tumbix/{copyright,changelog.gz}
# The launcher finds the program and the content relative to itself, so an
# installed tree can be moved or unpacked anywhere.

set(TUMBIX_VERSION 0.1.0)
set(TUMBIX_RELEASE_DATE 2026-12-08)
set(TUMBIX_RELEASE_TIME "Tue, 08 Dec 2026 12:00:00 +0000")
# Where the project is published; the AppStream id is its reversed host name.
set(TUMBIX_HOMEPAGE "https://tumbix.c-seed-a5863513.example" CACHE STRING "Project home page")
set(TUMBIX_APPSTREAM_ID "example.c_seed_a5863513.tumbix" CACHE STRING "AppStream component id")
set(TUMBIX_MAINTAINER "Seed a5863513 maintainers <maintainers@users.noreply.c-seed-a5863513.example>"
  CACHE STRING "Package maintainer")

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
configure_file(${pkg_src}/tumbix.metainfo.xml.in ${pkg_out}/${TUMBIX_APPSTREAM_ID}.metainfo.xml @ONLY)
configure_file(${pkg_src}/changelog.in ${pkg_out}/changelog @ONLY)

# Manual page and changelog are shipped compressed, without time stamps.
find_program(GZIP gzip REQUIRED)
foreach(f tumbix.6 changelog)
  if(f STREQUAL "changelog")
    set(in ${pkg_out}/changelog)
  else()
    set(in ${pkg_src}/${f})
  endif()
  add_custom_command(OUTPUT ${pkg_out}/${f}.gz
    COMMAND ${GZIP} -9nc ${in} > ${pkg_out}/${f}.gz
    DEPENDS ${in} VERBATIM)
  list(APPEND pkg_compressed ${pkg_out}/${f}.gz)
endforeach()
add_custom_target(tumbix_package_docs ALL DEPENDS ${pkg_compressed})

# The shipped program's global offset table is read-only once it runs.
target_link_options(tumbix PRIVATE LINKER:-z,relro,-z,now)

install(TARGETS tumbix RUNTIME DESTINATION ${TUMBIX_INSTALL_PROGRAMDIR})
install(PROGRAMS ${pkg_out}/tumbix DESTINATION ${TUMBIX_INSTALL_GAMESDIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/data/ DESTINATION ${TUMBIX_INSTALL_CONTENTDIR})
install(FILES ${pkg_src}/tumbix.desktop DESTINATION share/applications)
install(DIRECTORY ${pkg_src}/icons/hicolor DESTINATION share/icons)
install(FILES ${pkg_out}/${TUMBIX_APPSTREAM_ID}.metainfo.xml DESTINATION share/metainfo)
install(FILES ${pkg_out}/tumbix.6.gz DESTINATION share/man/man6)
install(FILES ${pkg_src}/copyright ${pkg_out}/changelog.gz DESTINATION share/doc/tumbix)

# The Debian package: tumbix_<version>_<arch>.deb in the build folder.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tumbix)
set(CPACK_PACKAGE_VERSION ${TUMBIX_VERSION})
set(CPACK_PACKAGE_VENDOR "The Tumbix developers")
set(CPACK_PACKAGE_CONTACT "${TUMBIX_MAINTAINER}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "3-D puzzle game: turn the blocks under a rolling brain")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "A level is a connected structure of cubes. The avatar, a brain in a
spherical cage, rolls over the faces of the blocks one face per step. You
do not steer it: you turn the block under it a quarter turn, which changes
what lies ahead. Collect everything to open the goal, avoid the black
holes, and roll into the goal to reach the next level.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
find_program(DPKG dpkg)
if(DPKG)
  execute_process(COMMAND ${DPKG} --print-architecture OUTPUT_VARIABLE CPACK_DEBIAN_PACKAGE_ARCHITECTURE
    OUTPUT_STRIP_TRAILING_WHITESPACE)
endif()
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${TUMBIX_HOMEPAGE}")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_SOURCE_GENERATOR "")
include(CPack)

if(TUMBIX_TESTS)
  # The package, its validators and the installed game under Xvfb (label package).
  find_package(Python3 COMPONENTS Interpreter REQUIRED)
  add_test(NAME package_build
    COMMAND ${CMAKE_CPACK_COMMAND} -G DEB --config ${CMAKE_BINARY_DIR}/CPackConfig.cmake
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR})
  set_tests_properties(package_build PROPERTIES LABELS package TIMEOUT 300 FIXTURES_SETUP tumbix_deb)
  set(labels_Validators package)
  set(labels_InstalledGame "package;e2e")
  foreach(kind Validators InstalledGame)
    add_test(NAME package_${kind}
      COMMAND ${Python3_EXECUTABLE} -m unittest -v test_package.${kind}
      WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}/tests/package)
    set_tests_properties(package_${kind} PROPERTIES LABELS "${labels_${kind}}" TIMEOUT 300 RUN_SERIAL TRUE
      FIXTURES_REQUIRED tumbix_deb
      ENVIRONMENT "TUMBIX_DEB=${CMAKE_BINARY_DIR}/tumbix_${TUMBIX_VERSION}_${CPACK_DEBIAN_PACKAGE_ARCHITECTURE}.deb;TUMBIX_BUILD=${CMAKE_BINARY_DIR};TUMBIX_OUT=${PROJECT_SOURCE_DIR}/out/package")
  endforeach()
endif()
