# Test helpers: one executable per topic, run by ctest.

# A core test: no display, no Qt.
function(velimor_core_test name)
    add_executable(${name} ${ARGN})
    target_link_libraries(${name} PRIVATE velimor_core GTest::gtest_main)
    velimor_warnings(${name})
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES LABELS core)
endfunction()

# A test of velimor-calc's routines: the core and the command line, no display.
function(velimor_cli_test name)
    velimor_core_test(${name} ${ARGN})
    target_link_libraries(${name} PRIVATE velimor_cli)
endfunction()

# A window test: the real windows on Qt's offscreen platform.
function(velimor_window_test name)
    add_executable(${name} ${ARGN})
    target_link_libraries(${name} PRIVATE velimor_windows velimor_test_support GTest::gtest)
    velimor_warnings(${name})
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES LABELS window
                         ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LC_ALL=C.UTF-8")
endfunction()

# A test that needs an X display exits with this code when there is none (DISPLAY unset),
# and ctest reports it as skipped instead of failed.
set(VELIMOR_NO_DISPLAY 77)

# An X11 test: needs a real X server (scripts/test runs ctest under xvfb-run); skipped
# without a display.
function(velimor_x11_test name)
    add_executable(${name} ${ARGN})
    target_link_libraries(${name} PRIVATE velimor_core PkgConfig::XCB GTest::gtest_main)
    velimor_warnings(${name})
    add_test(NAME ${name} COMMAND ${CMAKE_SOURCE_DIR}/tests/support/with_display.sh
                                  $<TARGET_FILE:${name}>)
    set_tests_properties(${name} PROPERTIES LABELS x11 SKIP_RETURN_CODE ${VELIMOR_NO_DISPLAY})
endfunction()
