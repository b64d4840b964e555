# Included by the package checks: builds the Debian package of the build in BUILD_DIR
# into the scratch folder ${out} with ${CPACK}, and sets `debs` to the one package made;
# stops with cpack's output when it fails or makes any other number of packages.
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
