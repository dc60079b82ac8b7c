# Tests built for Windows run under Wine (64-bit), in a prefix of their own that a fixture makes once per run.
# Qt's headless platform on Windows reads its faces from one folder: the Liberation faces, metric-compatible
# with Arial and Times New Roman.
find_program(TROPILKA_WINE wine REQUIRED)
set(TROPILKA_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
set(TROPILKA_WINE_RUN ${CMAKE_CURRENT_LIST_DIR}/wine-run.sh)
# Liberation 2 lies in liberation2 on Debian 12 and in liberation on Debian 13; the host's folders, not MinGW's.
find_path(TROPILKA_LIBERATION_DIR LiberationSans-Regular.ttf REQUIRED NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH
  PATHS /usr/share/fonts/truetype/liberation2 /usr/share/fonts/truetype/liberation)
find_path(TROPILKA_DEJAVU_DIR DejaVuSans.ttf REQUIRED NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH
  PATHS /usr/share/fonts/truetype/dejavu)

add_test(NAME wine_prefix COMMAND ${TROPILKA_WINE_RUN} --init-shared)
add_test(NAME wine_prefix_stop COMMAND ${TROPILKA_WINE_RUN} --stop)
set_tests_properties(wine_prefix PROPERTIES FIXTURES_SETUP wine TIMEOUT 300
  ENVIRONMENT "WINEPREFIX=${TROPILKA_WINEPREFIX}")
set_tests_properties(wine_prefix_stop PROPERTIES FIXTURES_CLEANUP wine TIMEOUT 60
  ENVIRONMENT "WINEPREFIX=${TROPILKA_WINEPREFIX}")

# A test program: the headless platform linked in (Qt is static), and run through Wine.
function(tropilka_test_on_windows target)
  qt_import_plugins(${target} INCLUDE Qt6::QOffscreenIntegrationPlugin)
  set_target_properties(${target} PROPERTIES CROSSCOMPILING_EMULATOR "${TROPILKA_WINE_RUN};--capture")
endfunction()

# A test run under Wine, in the tests' prefix; the faces from QT_QPA_FONTDIR if the test sets none.
function(tropilka_test_under_wine test)
  get_test_property(${test} ENVIRONMENT environment)
  if(NOT environment MATCHES "QT_QPA_FONTDIR=")
    set_property(TEST ${test} APPEND PROPERTY ENVIRONMENT "QT_QPA_FONTDIR=${TROPILKA_LIBERATION_DIR}")
  endif()
  # Qt's tests print to the debugger rather than to a console they do not have, unless told otherwise.
  set_property(TEST ${test} APPEND PROPERTY ENVIRONMENT "WINEPREFIX=${TROPILKA_WINEPREFIX}"
                                                        QT_FORCE_STDERR_LOGGING=1)
  set_property(TEST ${test} PROPERTY FIXTURES_REQUIRED wine)
endfunction()
