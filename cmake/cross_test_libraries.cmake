# The test libraries of a cross build, taken from the build machine where the
# target has none: GoogleTest built from its sources (Debian: libgtest-dev puts
# them in /usr/src/googletest), and nlohmann-json's headers alone (its package
# configuration would put all of the build machine's /usr/include on the path).
set(LSSCREENS_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest's sources, for cross builds")
if(NOT GTest_FOUND AND EXISTS ${LSSCREENS_GOOGLETEST_SOURCE}/CMakeLists.txt)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  add_subdirectory(${LSSCREENS_GOOGLETEST_SOURCE} googletest EXCLUDE_FROM_ALL SYSTEM)
  if(NOT TARGET GTest::gtest_main)
    add_library(GTest::gtest_main ALIAS gtest_main)
  endif()
  set(GTest_FOUND ON)
endif()
find_path(LSSCREENS_HOST_NLOHMANN_JSON nlohmann/json.hpp PATHS /usr/include /usr/local/include NO_CMAKE_FIND_ROOT_PATH)
if(NOT nlohmann_json_FOUND AND LSSCREENS_HOST_NLOHMANN_JSON)
  file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/host-headers)
  file(CREATE_LINK ${LSSCREENS_HOST_NLOHMANN_JSON}/nlohmann ${CMAKE_BINARY_DIR}/host-headers/nlohmann SYMBOLIC)
  add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED)
  target_include_directories(nlohmann_json::nlohmann_json INTERFACE ${CMAKE_BINARY_DIR}/host-headers)
  set(nlohmann_json_FOUND ON)
endif()
