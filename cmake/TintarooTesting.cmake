# Helpers shared by tests/ and fuzz/.
find_package(GTest REQUIRED)
include(GoogleTest)

# tintaroo_add_test(<name> SOURCES <files...> LIBS <targets...> [TIMEOUT <s>])
# Builds one GoogleTest executable on the shared test main (which points the
# XDG folders at a private temporary folder) and registers each test case with
# CTest, each under a timeout so a hang fails instead of stalling the run.
#
# With GUI, the test main also starts a QApplication on the offscreen platform.
function(tintaroo_add_test name)
    cmake_parse_arguments(T "GUI" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
    if(NOT T_TIMEOUT)
        set(T_TIMEOUT 60)
    endif()
    add_executable(${name} ${T_SOURCES})
    if(T_GUI)
        target_link_libraries(${name} PRIVATE ${T_LIBS} tintaroo_gui_test_support GTest::gtest)
    else()
        target_link_libraries(${name} PRIVATE ${T_LIBS} tintaroo_test_support GTest::gtest)
    endif()
    gtest_discover_tests(${name}
        DISCOVERY_MODE PRE_TEST
        DISCOVERY_TIMEOUT 60
        PROPERTIES TIMEOUT ${T_TIMEOUT})
endfunction()
