# The fuzz harnesses, shared by the libFuzzer targets and the replay test of stored inputs.
if(NOT TARGET quorlet3fuzzharness)
  find_package(nlohmann_json 3 REQUIRED)
  add_library(quorlet3fuzzharness STATIC ${CMAKE_CURRENT_LIST_DIR}/LogHarness.cpp
                                         ${CMAKE_CURRENT_LIST_DIR}/Cp932Harness.cpp)
  target_link_libraries(quorlet3fuzzharness PUBLIC quorlet3output PRIVATE nlohmann_json::nlohmann_json)
endif()
