# Debian's build flags, as dpkg-buildflags gives them: the stack protector,
# fortified C library functions, format checks, a read-only relocation table,
# and -ffile-prefix-map, which makes the compiler write the source folder as
# "." (two folders give the same objects). On by default where
# dpkg-buildflags exists, for optimised builds without sanitizers.
find_program(DPKG_BUILDFLAGS dpkg-buildflags)
set(dpkg_flags_default OFF)
if(DPKG_BUILDFLAGS AND NOT TUMBIX_SANITIZE AND NOT TUMBIX_FUZZ AND NOT CMAKE_BUILD_TYPE STREQUAL "Debug")
  set(dpkg_flags_default ON)
endif()
option(TUMBIX_DPKG_BUILDFLAGS "Compile and link with the flags of dpkg-buildflags (hardening, source path mapping)"
  ${dpkg_flags_default})

if(TUMBIX_DPKG_BUILDFLAGS)
  if(NOT DPKG_BUILDFLAGS)
    message(FATAL_ERROR "TUMBIX_DPKG_BUILDFLAGS needs dpkg-buildflags (package dpkg-dev)")
  endif()
  foreach(kind CPPFLAGS CXXFLAGS CFLAGS LDFLAGS)
    execute_process(COMMAND ${DPKG_BUILDFLAGS} --get ${kind}
      OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
    separate_arguments(dpkg_${kind} UNIX_COMMAND "${flags}")
  endforeach()
  # The build type chooses optimisation and debug information. The source
  # folder is mapped here: dpkg-buildflags leaves the mapping out for a
  # folder whose path has a space.
  foreach(kind CXXFLAGS CFLAGS)
    list(FILTER dpkg_${kind} EXCLUDE REGEX "^(-O[0-9s]?|-g|-ffile-prefix-map=.*)$")
    list(INSERT dpkg_${kind} 0 "-ffile-prefix-map=${PROJECT_SOURCE_DIR}=.")
  endforeach()
  foreach(flag ${dpkg_CPPFLAGS} ${dpkg_CXXFLAGS})
    add_compile_options($<$<COMPILE_LANGUAGE:CXX>:${flag}>)
  endforeach()
  foreach(flag ${dpkg_CPPFLAGS} ${dpkg_CFLAGS})
    add_compile_options($<$<COMPILE_LANGUAGE:C>:${flag}>)
  endforeach()
  add_link_options(${dpkg_LDFLAGS})
  message(STATUS "dpkg-buildflags: ${dpkg_CPPFLAGS} ${dpkg_CXXFLAGS} ${dpkg_LDFLAGS}")
endif()
