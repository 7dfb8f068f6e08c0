# Helpers for test executables and fuzz targets.
#
# tallix_add_test(name SOURCES a.cpp b.cpp LIBS lib1 lib2)
#   one GoogleTest executable, run by CTest under its name. Tests run with the
#   offscreen Qt platform and a home folder of their own under TMPDIR, removed
#   after the run, so they never touch a user's files nor leave any behind.
#   Without GoogleTest installed (scripts/setup.sh without --test) no test is built.
#
# tallix_add_fuzz(name SOURCES a.cpp LIBS lib1)
#   a libFuzzer target (LLVMFuzzerTestOneInput). In the fuzz build it links
#   libFuzzer; in the ordinary build it links a replay driver and CTest replays
#   every file of tests/fuzz/corpus/<name>/.
find_package(GTest QUIET)
if(NOT GTest_FOUND AND NOT TALLIX_FUZZ)
  message(STATUS "GoogleTest is not installed: the tests are not built (scripts/test.sh installs it)")
endif()

# The public test suites (images, INI files) live outside the repository; tests
# that need them skip, saying so, when they are absent.
if(NOT DEFINED TALLIX_TESTDATA)
  set(TALLIX_TESTDATA "")
  foreach(candidate ${CMAKE_SOURCE_DIR}/../shared/testdata /work/shared/testdata)
    if(EXISTS ${candidate} AND TALLIX_TESTDATA STREQUAL "")
      get_filename_component(TALLIX_TESTDATA ${candidate} ABSOLUTE)
    endif()
  endforeach()
  set(TALLIX_TESTDATA "${TALLIX_TESTDATA}" CACHE PATH "Folder of the public test suites")
endif()

function(tallix_add_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  if(TALLIX_FUZZ OR NOT GTest_FOUND)
    return()
  endif()
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main)
  # The image decoders that stand on other libraries, linked in (no module).
  if(TARGET tallix_image_linked)
    target_link_libraries(${name} PRIVATE tallix_image_linked)
  endif()
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  add_test(NAME ${name} COMMAND sh ${CMAKE_SOURCE_DIR}/cmake/WithTestHome.sh $<TARGET_FILE:${name}>)
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;TALLIX_SOURCE_DIR=${CMAKE_SOURCE_DIR};TALLIX_RUNTIME_DIR=${TALLIX_RUNTIME_DIR};TALLIX_TESTDATA=${TALLIX_TESTDATA}")
endfunction()

function(tallix_add_fuzz name)
  cmake_parse_arguments(F "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${F_SOURCES})
  target_link_libraries(${name} PRIVATE ${F_LIBS})
  if(TARGET tallix_image_linked)
    target_link_libraries(${name} PRIVATE tallix_image_linked)
  endif()
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz)
  if(TALLIX_FUZZ)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  else()
    target_sources(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests/fuzz/ReplayMain.cpp)
    add_test(NAME ${name}_replay COMMAND ${name} ${CMAKE_SOURCE_DIR}/tests/fuzz/corpus/${name})
  endif()
endfunction()
