# One static library per folder: every .cpp in the folder and its sub-folders
# belongs to it, so a new source file needs no edit here.
function(zq_module name dir)
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${dir}/*.cpp)
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/include)
  target_link_libraries(${name} PUBLIC ${ARGN})
  # The modules' objects also make up the shared library (cmake/library.cmake),
  # which exports only what the public headers mark ZQ_API.
  set_target_properties(${name} PROPERTIES POSITION_INDEPENDENT_CODE ON CXX_VISIBILITY_PRESET hidden
                                           VISIBILITY_INLINES_HIDDEN ON)
endfunction()

# One test program per test source file, in the folder and its sub-folders
# (so a test that does not build yet holds up no other), each test case run by
# CTest on its own. Program names are the file names, so they stay unique.
function(zq_tests dir)
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/${dir}/*.cpp)
  foreach(src ${sources})
    get_filename_component(name ${src} NAME_WE)
    add_executable(${name} ${src})
    target_link_libraries(${name} PRIVATE ${ARGN} GTest::gtest GTest::gtest_main)
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 120
      PROPERTIES ENVIRONMENT "ZQ_SOURCE_DIR=${CMAKE_SOURCE_DIR}")
  endforeach()
endfunction()
