# Builds the Debian package of the build in BUILD_DIR into a scratch folder and runs
# lintian over it; any error fails. Prints "lintian is not installed" (a skip) without it.
find_program(LINTIAN lintian)
if(NOT LINTIAN)
  message("lintian is not installed")
  return()
endif()
set(out ${BUILD_DIR}/deb-lint)
file(REMOVE_RECURSE ${out})
execute_process(COMMAND ${CPACK} -G DEB -B ${out} --config ${BUILD_DIR}/CPackConfig.cmake
                RESULT_VARIABLE rc OUTPUT_VARIABLE log ERROR_VARIABLE log)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cpack failed:\n${log}")
endif()
file(GLOB debs ${out}/quorlet3_*.deb)
list(LENGTH debs count)
if(NOT count EQUAL 1)
  message(FATAL_ERROR "expected one quorlet3_*.deb in ${out}, found: ${debs}")
endif()
# --fail-on error: warnings and notes are shown but do not fail the check.
execute_process(COMMAND ${LINTIAN} --fail-on error --tag-display-limit 0 ${debs}
                RESULT_VARIABLE rc OUTPUT_VARIABLE report ERROR_VARIABLE report)
message("${report}")
file(REMOVE_RECURSE ${out})
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "lintian found errors in the package")
endif()
