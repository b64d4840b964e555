# The fuzz harnesses, shared by the libFuzzer targets and the replay test of stored inputs.
if(NOT TARGET quorlet3fuzzharness)
  find_package(nlohmann_json 3 REQUIRED)
  set(log_harness LogHarness.cpp LoadChecks.cpp ReportChecks.cpp OutputChecks.cpp WholeLogChecks.cpp)
  list(TRANSFORM log_harness PREPEND ${CMAKE_CURRENT_LIST_DIR}/)
  add_library(quorlet3fuzzharness STATIC ${log_harness}
                                         ${CMAKE_CURRENT_LIST_DIR}/Cp932Harness.cpp
                                         ${CMAKE_CURRENT_LIST_DIR}/StateHarness.cpp)
  target_link_libraries(quorlet3fuzzharness PUBLIC quorlet3output PRIVATE nlohmann_json::nlohmann_json)
  # The log harness's own loops (over whole HTML pages, say) would only slow the fuzzer
  # down with coverage callbacks and checks; the project's code keeps both. The cp932
  # harness keeps them too: its references are small and their branches guide the fuzzer.
  if(QUORLET3_LIBFUZZER)
    set_source_files_properties(${log_harness} PROPERTIES
                                COMPILE_OPTIONS "-fno-sanitize=fuzzer-no-link,address")
  endif()
endif()
