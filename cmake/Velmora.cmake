# Helpers shared by the subsystem build files.
#
# velmora_library(NAME DIRS dir... [EXCLUDE file...] [LIBS lib...])
#   A static library built from every .cpp file directly inside the listed
#   folders (relative to the calling CMakeLists), less the EXCLUDE files
#   (relative paths too). New files are picked up on the next build without
#   editing any build file.
function(velmora_library name)
  cmake_parse_arguments(ARG "" "" "DIRS;EXCLUDE;LIBS" ${ARGN})
  set(sources "")
  foreach(dir ${ARG_DIRS})
    file(GLOB found CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*.cpp")
    list(APPEND sources ${found})
  endforeach()
  foreach(file ${ARG_EXCLUDE})
    list(REMOVE_ITEM sources "${CMAKE_CURRENT_SOURCE_DIR}/${file}")
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

# velmora_test(NAME DIRS dir... [EXCLUDE file...] LIBS lib...)
#   A GoogleTest executable built from every .cpp file below the listed
#   folders (recursively), less the EXCLUDE files (a name ending in '/'
#   excludes a whole folder), registered with CTest.
#   A cross build registers each executable as one test (its tests cannot be
#   listed on the build machine without running it under an emulator).
function(velmora_test name)
  cmake_parse_arguments(ARG "" "" "DIRS;EXCLUDE;LIBS" ${ARGN})
  set(sources "")
  foreach(dir ${ARG_DIRS})
    file(GLOB_RECURSE found CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*.cpp")
    list(APPEND sources ${found})
  endforeach()
  foreach(file ${ARG_EXCLUDE})
    if(file MATCHES "/$")
      # A folder: everything below it.
      list(FILTER sources EXCLUDE REGEX "^${CMAKE_CURRENT_SOURCE_DIR}/${file}")
    else()
      list(REMOVE_ITEM sources "${CMAKE_CURRENT_SOURCE_DIR}/${file}")
    endif()
  endforeach()
  if(NOT sources)
    return()
  endif()
  add_executable(${name} ${sources})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/tests)
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main)
  if(CMAKE_CROSSCOMPILING)
    add_test(NAME ${name} COMMAND ${name} WORKING_DIRECTORY ${PROJECT_SOURCE_DIR})
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "VELMORA_BINARY_DIR=${PROJECT_BINARY_DIR}")
    return()
  endif()
  gtest_discover_tests(${name}
    WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
    DISCOVERY_TIMEOUT 60
    # One variable only: a list would be split by the discovery script. Tests
    # run in the source folder, so that one is the working directory.
    PROPERTIES ENVIRONMENT "VELMORA_BINARY_DIR=${PROJECT_BINARY_DIR}")
endfunction()

# brevonne_packed_program(NAME target BARE bare-target OUTPUT file)
#   The shipped screensaver: the island data generated into the build
#   folder's data/ (kept loose for "-path" runs; the hand-written files under
#   data/ are copied in), zipped and appended with its trailer to the bare
#   program, written to OUTPUT; NAME is the target that builds it.
function(brevonne_packed_program)
  cmake_parse_arguments(ARG "" "NAME;BARE;OUTPUT" "" ${ARGN})
  set(BREVONNE_SEED 1 CACHE STRING "Seed of the generated island")
  file(GLOB_RECURSE handwritten CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/data/*)
  set(stamp ${CMAKE_CURRENT_BINARY_DIR}/data.stamp)
  set(zip ${CMAKE_CURRENT_BINARY_DIR}/brevonne3d-data.zip)
  add_custom_command(OUTPUT ${stamp}
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${PROJECT_BINARY_DIR}/data
    COMMAND brevonne-generate generate --root ${PROJECT_BINARY_DIR} --seed ${BREVONNE_SEED} --copy ${PROJECT_SOURCE_DIR}
    COMMAND ${CMAKE_COMMAND} -E touch ${stamp}
    DEPENDS brevonne-generate ${handwritten}
    COMMENT "Generating the island data"
    VERBATIM)
  add_custom_command(OUTPUT ${ARG_OUTPUT}
    COMMAND brevonne-generate pack --root ${PROJECT_BINARY_DIR} --zip ${zip}
    COMMAND brevonne-generate append --exe $<TARGET_FILE:${ARG_BARE}> --zip ${zip} --out ${ARG_OUTPUT}
    DEPENDS ${ARG_BARE} brevonne-generate ${stamp}
    COMMENT "Packing the data into ${ARG_OUTPUT}"
    VERBATIM)
  add_custom_target(${ARG_NAME} ALL DEPENDS ${ARG_OUTPUT})
endfunction()
