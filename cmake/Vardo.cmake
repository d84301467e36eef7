# One static library per source folder, named vardo_<folder>, built from every
# .cpp of the folder. DEPS keeps the dependency direction of the layout.
function(vardo_library folder)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${folder}/*.cpp)
  if(NOT sources)
    return() # a folder whose code has not landed yet
  endif()
  add_library(vardo_${folder} STATIC ${sources})
  target_include_directories(vardo_${folder} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(vardo_${folder} PUBLIC ${ARG_DEPS})
endfunction()

# One GoogleTest executable per test folder, from every .cpp in it.
# ENV sets environment variables for every discovered test.
function(vardo_test folder)
  cmake_parse_arguments(ARG "" "" "DEPS;ENV" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${folder}/*.cpp)
  if(NOT sources)
    return()
  endif()
  add_executable(test_${folder} ${sources})
  target_link_libraries(test_${folder} PRIVATE ${ARG_DEPS} vardo_test_support GTest::gtest_main GTest::gmock)
  target_compile_definitions(test_${folder} PRIVATE
    VARDO_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    VARDO_BINARY_DIR="${PROJECT_BINARY_DIR}")
  gtest_discover_tests(test_${folder}
    DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "${ARG_ENV}")
endfunction()
