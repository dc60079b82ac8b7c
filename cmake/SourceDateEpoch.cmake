# The one time that goes into what the build makes (the compiled-in resources, the package's files): the
# newest changelog entry's, as in Debian's own builds, unless SOURCE_DATE_EPOCH is set. Left unset where
# dpkg-parsechangelog is missing; then the build is not reproducible.
if(DEFINED ENV{SOURCE_DATE_EPOCH})
  set(TROPILKA_SOURCE_DATE_EPOCH $ENV{SOURCE_DATE_EPOCH})
else()
  find_program(DPKG_PARSECHANGELOG dpkg-parsechangelog)
  if(DPKG_PARSECHANGELOG)
    execute_process(COMMAND ${DPKG_PARSECHANGELOG} -l ${PROJECT_SOURCE_DIR}/packaging/changelog -STimestamp
      OUTPUT_VARIABLE TROPILKA_SOURCE_DATE_EPOCH OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
  endif()
endif()
