# Each source folder is one static library made of the *.cpp files beside its
# CMakeLists.txt; its tests are the *.cpp files in tests/, linked into one
# GoogleTest program per folder. Adding a file needs no CMake edit.

function(tavrel_library name)
  file(GLOB _src CONFIGURE_DEPENDS
       ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  list(FILTER _src EXCLUDE REGEX "/main\\.cpp$")
  set(_cpp ${_src})
  list(FILTER _cpp INCLUDE REGEX "\\.cpp$")
  if(_cpp)
    add_library(${name} STATIC ${_src})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC ${ARGN})
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} INTERFACE ${ARGN})
  endif()
endfunction()

function(tavrel_tests name)
  file(GLOB _tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/tests/*.cpp
       ${CMAKE_CURRENT_SOURCE_DIR}/tests/*.h)
  set(_cpp ${_tests})
  list(FILTER _cpp INCLUDE REGEX "\\.cpp$")
  if(NOT _cpp)
    return()
  endif()
  add_executable(${name}_tests ${_tests})
  set_target_properties(${name}_tests PROPERTIES
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  target_link_libraries(${name}_tests PRIVATE ${name} testsupport
    GTest::gtest GTest::gmock ${ARGN})
  gtest_discover_tests(${name}_tests
    DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;TAVREL_BIN=${CMAKE_BINARY_DIR}/bin"
               TIMEOUT 300)
endfunction()
