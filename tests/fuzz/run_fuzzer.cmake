# Fuzzes for a bounded time from a fresh copy of the committed seeds, so that
# new inputs never land in the source tree. Any finding fails the run; the
# input that caused it is kept in WORK_DIR/findings.
file(REMOVE_RECURSE ${WORK_DIR})
file(COPY ${SEEDS}/ DESTINATION ${WORK_DIR}/corpus)
file(MAKE_DIRECTORY ${WORK_DIR}/findings)
execute_process(
  COMMAND ${FUZZER} -max_total_time=${SECONDS} -print_final_stats=1
          -artifact_prefix=${WORK_DIR}/findings/ ${WORK_DIR}/corpus
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "The fuzzer reported a finding (exit ${result}); see ${WORK_DIR}/findings")
endif()
