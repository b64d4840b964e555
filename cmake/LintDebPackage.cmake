# Builds the Debian package of the build in BUILD_DIR into a scratch folder and runs
# lintian over it; any error fails. Prints "lintian is not installed" (a skip) without it.
find_program(LINTIAN lintian)
if(NOT LINTIAN)
  message("lintian is not installed")
  return()
endif()
set(out ${BUILD_DIR}/deb-lint)
include(${CMAKE_CURRENT_LIST_DIR}/BuildDebPackage.cmake)
# --fail-on error: warnings and notes are shown but do not fail the check.
execute_process(COMMAND ${LINTIAN} --fail-on error --tag-display-limit 0 ${debs}
                RESULT_VARIABLE rc OUTPUT_VARIABLE report ERROR_VARIABLE report)
message("${report}")
file(REMOVE_RECURSE ${out})
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "lintian found errors in the package")
endif()
