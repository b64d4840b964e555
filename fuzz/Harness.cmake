# The log harness, shared by the fuzz target and the replay test of stored inputs.
if(NOT TARGET quorlet3fuzzharness)
  add_library(quorlet3fuzzharness STATIC ${CMAKE_CURRENT_LIST_DIR}/LogHarness.cpp)
  target_link_libraries(quorlet3fuzzharness PUBLIC quorlet3core)
endif()
