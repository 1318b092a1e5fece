# lintaro_add_test(NAME LABEL unit|gui|process|browser SOURCES ... LIBS ...)
# Adds one GoogleTest program, linked with the shared test support (tests/support), and lets
# CTest list each of its cases as a test of its own, named NAME.Suite.Case. The label says what
# the cases need, so that `ctest -L unit` runs in seconds while developing:
#   unit     fast, in this process only: no window, no child process
#   gui      a window: the program gets a QApplication on the offscreen platform, so it runs
#            without a display
#   process  runs programs or forks child processes (with time or memory limits)
#   browser  loads pages in headless Chromium
include(GoogleTest)

function(lintaro_add_test name)
    cmake_parse_arguments(ARG "" "LABEL" "SOURCES;LIBS" ${ARGN})
    if(NOT ARG_LABEL MATCHES "^(unit|gui|process|browser)$")
        message(FATAL_ERROR
            "lintaro_add_test(${name}): LABEL must be unit, gui, process or browser")
    endif()
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} lintaro_test_support lintaro_warnings
        GTest::gtest)
    target_compile_definitions(${name} PRIVATE
        LINTARO_SOURCE_DIR="${PROJECT_SOURCE_DIR}" LINTARO_BINARY_DIR="${PROJECT_BINARY_DIR}")
    if(ARG_LABEL STREQUAL "gui")
        target_sources(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests/support/gui_test_main.cpp)
        target_link_libraries(${name} PRIVATE Qt6::Widgets Qt6::Test)
    else()
        target_link_libraries(${name} PRIVATE GTest::gtest_main)
    endif()
    # The cases are listed when CTest runs (PRE_TEST), not after each link: the listing then
    # runs in the test preset's environment (the sanitizer build's leak suppressions), and a
    # build never runs a test program. The listing's time limit leaves room for a slow start
    # under the sanitizers. Each property holds one variable: a list of them would be split
    # apart on its way through the listing script, hence ENVIRONMENT for one and
    # ENVIRONMENT_MODIFICATION for the other.
    # Parameterized cases keep the names their tables give them, without their parameters'
    # values, which would print as raw bytes.
    gtest_discover_tests(${name}
        TEST_PREFIX "${name}."
        NO_PRETTY_VALUES
        DISCOVERY_MODE PRE_TEST
        DISCOVERY_TIMEOUT 120
        PROPERTIES
            LABELS ${ARG_LABEL}
            TIMEOUT 300
            ENVIRONMENT "LC_ALL=C.UTF-8"
            ENVIRONMENT_MODIFICATION "QT_QPA_PLATFORM=set:offscreen")
endfunction()

# lintaro_add_tool_test(NAME TOOL ARGS ...)
# Adds a test that runs an outside checker program with ARGS (label process). Where the
# program is not installed, the test is reported as skipped rather than failing the configure.
function(lintaro_add_tool_test name tool)
    find_program(LINTARO_TOOL_${tool} ${tool})
    set(program ${LINTARO_TOOL_${tool}})
    if(program)
        add_test(NAME ${name} COMMAND ${program} ${ARGN})
    else()
        add_test(NAME ${name} COMMAND sh -c "echo '${tool} is not installed'; exit 77")
        set_tests_properties(${name} PROPERTIES SKIP_RETURN_CODE 77)
    endif()
    set_tests_properties(${name} PROPERTIES LABELS process)
endfunction()
