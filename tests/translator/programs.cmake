# The table of programs in the language: tests/translator/programs/<name>.vx is built
# as vx_<name> beside the other test programs and run as a process by
# test_translated (test_programs.cpp), on Linux and under Wine alike. A line
# "// consts: NAME=value ..." in a program sets those constants from the build.
file(GLOB vx_table CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/programs/*.vx)
set(vx_table_names "")
set(vx_table_targets "")
foreach(source ${vx_table})
    get_filename_component(name ${source} NAME_WE)
    file(STRINGS ${source} consts REGEX "^// consts: ")
    set(arguments "")
    if(consts)
        string(REGEX REPLACE "^// consts: " "" consts "${consts}")
        separate_arguments(consts UNIX_COMMAND "${consts}")
        set(arguments CONSTS ${consts})
    endif()
    vamex_add_program(vx_${name} SOURCES ${source} ${arguments})
    set_target_properties(vx_${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
    list(APPEND vx_table_names ${name})
    list(APPEND vx_table_targets vx_${name})
endforeach()

add_executable(test_translated ${CMAKE_CURRENT_LIST_DIR}/test_programs.cpp)
target_link_libraries(test_translated PRIVATE vx_test_support)
add_dependencies(test_translated ${vx_table_targets})
string(REPLACE ";" "," vx_table_names "${vx_table_names}")
target_compile_definitions(test_translated PRIVATE VX_TABLE_PROGRAMS="${vx_table_names}")
if(WIN32)
    vx_windows_test_suite(test_translated)
else()
    gtest_discover_tests(test_translated
        WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
        PROPERTIES TIMEOUT 300 ENVIRONMENT "VX_BUILD_DIR=${CMAKE_BINARY_DIR}"
        DISCOVERY_TIMEOUT 60)
endif()
