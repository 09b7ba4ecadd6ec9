# tolvane_add_test(NAME name SOURCES ... LIBS ... [LABEL unit|view|desktop|install]
#                  [SOAK gtest-filter] [OWN_MAIN])
# Declares one GoogleTest executable and registers its cases with CTest under LABEL (unit by
# default), so that `ctest -L unit` runs one group; the cases SOAK matches (the long runs that
# kill the program at many moments) are labelled soak instead. Every test runs with the offscreen Qt
# platform (one variable only: the discovered tests' properties are split at every ";"; test.sh
# sets the UTF-8 locale), and writes screenshots under build/.
include(GoogleTest)
function(tolvane_add_test)
  cmake_parse_arguments(ARG "OWN_MAIN" "NAME;LABEL;SOAK" "SOURCES;LIBS" ${ARGN})
  if(NOT ARG_LABEL)
    set(ARG_LABEL unit)
  endif()
  add_executable(${ARG_NAME} ${ARG_SOURCES})
  set_target_properties(${ARG_NAME} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  target_link_libraries(${ARG_NAME} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock)
  if(NOT ARG_OWN_MAIN)
    target_link_libraries(${ARG_NAME} PRIVATE GTest::gtest_main)
  endif()
  target_compile_definitions(${ARG_NAME} PRIVATE TOLVANE_BUILD_DIR="${CMAKE_BINARY_DIR}"
                                                  TOLVANE_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
  # Tests describe cases with designated initializers that leave the other fields at their
  # defaults on purpose.
  target_compile_options(${ARG_NAME} PRIVATE -Wno-missing-field-initializers)
  set(filter "*")
  if(ARG_SOAK)
    set(filter "-${ARG_SOAK}")
    gtest_discover_tests(${ARG_NAME}
      DISCOVERY_MODE PRE_TEST
      TEST_FILTER "${ARG_SOAK}"
      PROPERTIES LABELS soak ENVIRONMENT QT_QPA_PLATFORM=offscreen
      DISCOVERY_TIMEOUT 60)
  endif()
  gtest_discover_tests(${ARG_NAME}
    DISCOVERY_MODE PRE_TEST
    TEST_FILTER "${filter}"
    PROPERTIES LABELS ${ARG_LABEL} ENVIRONMENT QT_QPA_PLATFORM=offscreen
    DISCOVERY_TIMEOUT 60)
endfunction()
