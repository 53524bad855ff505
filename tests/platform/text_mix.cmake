# Run by ctest: compiles text_mix.cpp once for each MIX. The proper use (MIX 0) must compile,
# so that a broken set-up cannot pass for refusals; every mix of text kinds must not, with
# an error that names the type.
# Inputs: COMPILER, SOURCE_DIR, INCLUDES (the Qt include folders, separated by "|").
string(REPLACE "|" ";" includes "${INCLUDES}")
list(TRANSFORM includes PREPEND "-I")
set(mixes 0 1 2 3 4 5 6 7 8 9 10)
foreach(mix IN LISTS mixes)
    execute_process(
        COMMAND ${COMPILER} -std=c++20 -fPIC -fsyntax-only -DMIX=${mix} -I${SOURCE_DIR} ${includes}
                ${SOURCE_DIR}/tests/platform/text_mix.cpp
        RESULT_VARIABLE result OUTPUT_QUIET ERROR_VARIABLE errors)
    if(mix EQUAL 0 AND NOT result EQUAL 0)
        message(FATAL_ERROR "the proper use of Cp1251Text does not compile:\n${errors}")
    elseif(NOT mix EQUAL 0 AND result EQUAL 0)
        message(FATAL_ERROR "mix ${mix} of text kinds compiles")
    elseif(NOT mix EQUAL 0 AND NOT errors MATCHES "Cp1251Text")
        message(FATAL_ERROR "mix ${mix} fails for another reason:\n${errors}")
    endif()
    string(REGEX MATCH "error: [^\n]*" refusal "${errors}")
    message(STATUS "MIX ${mix}: ${refusal}")
endforeach()
