# Run by cpack on the finished package: cpack writes the ar archive's members with the umask's modes and the
# package's time; strip-nondeterminism gives them the modes and time dpkg-deb would, as Debian's own
# packaging does.
find_program(STRIP_NONDETERMINISM strip-nondeterminism REQUIRED)
set(timestamp)
if(DEFINED ENV{SOURCE_DATE_EPOCH})
  set(timestamp --timestamp $ENV{SOURCE_DATE_EPOCH})
endif()
foreach(package IN LISTS CPACK_PACKAGE_FILES)
  execute_process(COMMAND ${STRIP_NONDETERMINISM} --normalizers +ar --type ar ${timestamp} ${package}
    COMMAND_ERROR_IS_FATAL ANY)
endforeach()
