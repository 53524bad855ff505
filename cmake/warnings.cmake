# Our own targets compile with the common warnings as errors. The fuzz targets of the tests
# are compiled by clang's own commands, with the same warnings.
function(velimor_warnings)
    foreach(target ${ARGN})
        target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Werror)
        # GCC 12 reports a false overlap (-Wrestrict) inside std::string concatenation when
        # it optimises; the warning is wrong there and would fail every Release build.
        if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
            target_compile_options(${target} PRIVATE -Wno-restrict)
        endif()
    endforeach()
endfunction()
