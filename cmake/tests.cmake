# Test helpers: one executable per topic, run by ctest.

# A core test: no display, no Qt.
function(velimor_core_test name)
    add_executable(${name} ${ARGN})
    target_link_libraries(${name} PRIVATE velimor_core GTest::gtest_main)
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES LABELS core)
endfunction()

# A window test: the real windows on Qt's offscreen platform.
function(velimor_window_test name)
    add_executable(${name} ${ARGN})
    target_link_libraries(${name} PRIVATE velimor_windows velimor_test_support GTest::gtest)
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES LABELS window
                         ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LC_ALL=C.UTF-8")
endfunction()

# An X11 test: needs a real X server (scripts/test runs ctest under xvfb-run).
function(velimor_x11_test name)
    add_executable(${name} ${ARGN})
    target_link_libraries(${name} PRIVATE velimor_core PkgConfig::XCB GTest::gtest_main)
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES LABELS x11)
endfunction()
