# Runs a fuzz target for a bounded time over a fresh working corpus and the committed seeds;
# fails when the fuzzer reports a crash, a sanitizer error, a leak or a timeout.
#   cmake -DFUZZER=... -DSEEDS=... -DWORK=... -DSECONDS=... -P run_fuzzer.cmake
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/corpus)
execute_process(
    COMMAND ${FUZZER} -max_total_time=${SECONDS} -max_len=65536 -timeout=10
            -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix=${WORK}/
            ${WORK}/corpus ${SEEDS}
    RESULT_VARIABLE result
    OUTPUT_VARIABLE output
    ERROR_VARIABLE output)
string(REGEX MATCHALL "[^\n]*(stat::number_of_executed_units|stat::peak_rss_mb)[^\n]*" stats
       "${output}")
string(REPLACE ";" "\n" stats "${stats}")
message("${stats}")
if(NOT result EQUAL 0)
    message(FATAL_ERROR "${FUZZER} failed (${result}):\n${output}")
endif()
