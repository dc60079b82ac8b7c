# The compiler and linker flags Debian builds its own packages with on this machine's release, every hardening
# feature on (stack protector, _FORTIFY_SOURCE, format checks, read-only relocations bound at start-up, and
# from Debian 13 on stack clash and control-flow protection), and the source folder mapped to "." so that no
# build path reaches the program. Asked of dpkg-buildflags rather than listed here, so each release's own
# choice applies. Optimisation and debug information stay the build type's.
find_program(DPKG_BUILDFLAGS dpkg-buildflags REQUIRED)
foreach(kind IN ITEMS CPPFLAGS CXXFLAGS LDFLAGS)
  execute_process(
    COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all
            "DEB_${kind}_MAINT_STRIP=-g -O2" ${DPKG_BUILDFLAGS} --get ${kind}
    WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
    OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
  separate_arguments(flags UNIX_COMMAND "${flags}")
  if(kind STREQUAL LDFLAGS)
    add_link_options(${flags})
  else()
    add_compile_options(${flags})
  endif()
  message(STATUS "dpkg-buildflags ${kind}: ${flags}")
endforeach()
# A build folder outside the sources is mapped too.
add_compile_options(-ffile-prefix-map=${PROJECT_BINARY_DIR}=build)
