# Helpers shared by the subsystem build files.
#
# velmora_library(NAME DIRS dir... [PUBLIC_LIBS lib...])
#   A static library built from every .cpp file directly inside the listed
#   folders (relative to the calling CMakeLists). New files are picked up on
#   the next build without editing any build file.
function(velmora_library name)
  cmake_parse_arguments(ARG "" "" "DIRS;LIBS" ${ARGN})
  set(sources "")
  foreach(dir ${ARG_DIRS})
    file(GLOB found CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*.cpp")
    list(APPEND sources ${found})
  endforeach()
  if(NOT sources)
    # A subsystem with no sources yet is an interface library, so that its
    # dependants link against it already.
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR})
    if(ARG_LIBS)
      target_link_libraries(${name} INTERFACE ${ARG_LIBS})
    endif()
    return()
  endif()
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  if(ARG_LIBS)
    target_link_libraries(${name} PUBLIC ${ARG_LIBS})
  endif()
endfunction()

# velmora_test(NAME DIRS dir... LIBS lib...)
#   A GoogleTest executable built from every .cpp file below the listed
#   folders (recursively), registered with CTest.
function(velmora_test name)
  cmake_parse_arguments(ARG "" "" "DIRS;LIBS" ${ARGN})
  set(sources "")
  foreach(dir ${ARG_DIRS})
    file(GLOB_RECURSE found CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*.cpp")
    list(APPEND sources ${found})
  endforeach()
  if(NOT sources)
    return()
  endif()
  add_executable(${name} ${sources})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/tests)
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main)
  gtest_discover_tests(${name}
    WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
    DISCOVERY_TIMEOUT 60
    # One variable only: a list would be split by the discovery script. Tests
    # run in the source folder, so that one is the working directory.
    PROPERTIES ENVIRONMENT "VELMORA_BINARY_DIR=${PROJECT_BINARY_DIR}")
endfunction()
