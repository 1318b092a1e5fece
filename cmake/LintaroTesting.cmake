# lintaro_add_test(NAME SOURCES ... LIBS ... [GUI])
# Adds one GoogleTest program, linked with the shared test support (tests/support), and
# registers it with CTest. GUI tests get a QApplication on the offscreen platform, so they
# run without a display.
function(lintaro_add_test name)
    cmake_parse_arguments(ARG "GUI" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} lintaro_test_support lintaro_warnings
        GTest::gtest)
    target_compile_definitions(${name} PRIVATE
        LINTARO_SOURCE_DIR="${PROJECT_SOURCE_DIR}" LINTARO_BINARY_DIR="${PROJECT_BINARY_DIR}")
    if(ARG_GUI)
        target_sources(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests/support/gui_test_main.cpp)
        target_link_libraries(${name} PRIVATE Qt6::Widgets Qt6::Test)
    else()
        target_link_libraries(${name} PRIVATE GTest::gtest_main)
    endif()
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES TIMEOUT 300
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LC_ALL=C.UTF-8")
endfunction()

# lintaro_add_tool_test(NAME TOOL ARGS ...)
# Adds a test that runs an outside checker program with ARGS. Where the program is not
# installed, the test is reported as skipped rather than failing the configure.
function(lintaro_add_tool_test name tool)
    find_program(LINTARO_TOOL_${tool} ${tool})
    set(program ${LINTARO_TOOL_${tool}})
    if(program)
        add_test(NAME ${name} COMMAND ${program} ${ARGN})
    else()
        add_test(NAME ${name} COMMAND sh -c "echo '${tool} is not installed'; exit 77")
        set_tests_properties(${name} PROPERTIES SKIP_RETURN_CODE 77)
    endif()
endfunction()
