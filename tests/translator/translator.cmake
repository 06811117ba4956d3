# The translator's own tests: a program that links the translator's library and
# nothing of the runtime. The case that compiles translated C++ against vamex.h
# gets the build's compiler; it runs where that compiler can be started.
add_executable(test_translator
    ${CMAKE_CURRENT_LIST_DIR}/test_diagnostics.cpp
    ${CMAKE_CURRENT_LIST_DIR}/test_commands.cpp)
target_link_libraries(test_translator PRIVATE vamexc_lib GTest::gtest)
target_compile_definitions(test_translator PRIVATE VX_SOURCE_DIR="${VX_TEST_SOURCE_DIR}")
if(NOT CMAKE_CROSSCOMPILING)
    target_compile_definitions(test_translator PRIVATE
        VX_CXX_COMPILER="${CMAKE_CXX_COMPILER}"
        VX_TEMP_DIR="${CMAKE_CURRENT_BINARY_DIR}")
endif()
if(WIN32)
    vx_windows_test_suite(test_translator)
else()
    gtest_discover_tests(test_translator
        WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
        PROPERTIES TIMEOUT 300
        DISCOVERY_TIMEOUT 60)
endif()
