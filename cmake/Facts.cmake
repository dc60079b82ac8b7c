# What the game is called, who makes it and when it was released: every generated file that names them (the
# menu entry, the AppStream metadata, the manual pages, the copyright file, the Debian package, the Windows
# program's resources, the MSI) takes them from here.
set(TROPILKA_DISPLAY_NAME "Тропилка")
# For folder names, and wherever only ASCII will do.
set(TROPILKA_ASCII_NAME Tropilka)
set(TROPILKA_APP_ID org.example.Tropilka)
set(TROPILKA_PUBLISHER "The Tropilka developers")
set(TROPILKA_PUBLISHER_RU "Разработчики Тропилки")
set(TROPILKA_CONTACT tropilka@example.org)
set(TROPILKA_HOMEPAGE https://example.org/tropilka)

# The release date is the newest changelog entry's, the one record Debian's tools read it from; that entry
# must be this version's and signed by the publisher above.
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/packaging/changelog)
file(STRINGS ${PROJECT_SOURCE_DIR}/packaging/changelog changelog)
list(GET changelog 0 newest_entry)
if(NOT newest_entry MATCHES "^tropilka \\(${PROJECT_VERSION}\\) ")
  message(FATAL_ERROR "packaging/changelog's newest entry is not version ${PROJECT_VERSION}")
endif()
list(FILTER changelog INCLUDE REGEX "^ -- ")
list(GET changelog 0 signature)
if(NOT signature MATCHES "^ -- ${TROPILKA_PUBLISHER} <${TROPILKA_CONTACT}>  [A-Z][a-z][a-z], ([0-9][0-9]) ([A-Z][a-z][a-z]) ([0-9][0-9][0-9][0-9]) ")
  message(FATAL_ERROR "packaging/changelog's newest entry is not signed by ${TROPILKA_PUBLISHER} <${TROPILKA_CONTACT}>")
endif()
set(months Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
list(FIND months ${CMAKE_MATCH_2} month)
math(EXPR month "${month} + 1" OUTPUT_FORMAT DECIMAL)
string(LENGTH "${month}" digits)
if(digits EQUAL 1)
  set(month 0${month})
endif()
set(TROPILKA_RELEASE_DATE ${CMAKE_MATCH_3}-${month}-${CMAKE_MATCH_1})
