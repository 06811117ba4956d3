# The Windows test build: GoogleTest from Debian's sources for the cross compiler,
# and every test program run under Wine (tests/wine-run.sh.in) when the build runs
# on Linux.
set(VX_GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources (Debian's googletest)")
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(${VX_GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
# Not our code: its warnings are not ours to fix.
target_compile_options(gtest PRIVATE -w)
add_library(GTest::gtest ALIAS gtest)

if(CMAKE_HOST_WIN32)
    set(VX_TEST_BUILD_DIR ${CMAKE_BINARY_DIR})
    set(VX_TEST_SOURCE_DIR ${CMAKE_SOURCE_DIR})
    set(VX_TEST_EMULATOR "")
else()
    # Wine shows the Linux root as drive Z: in every prefix.
    set(VX_TEST_BUILD_DIR "Z:${CMAKE_BINARY_DIR}")
    set(VX_TEST_SOURCE_DIR "Z:${CMAKE_SOURCE_DIR}")
    set(VX_WINE_PREFIX ${CMAKE_BINARY_DIR}/wineprefix)
    set(VX_ALSA_CONFIG ${CMAKE_BINARY_DIR}/alsa-null.conf)
    configure_file(${CMAKE_CURRENT_LIST_DIR}/wine-run.sh.in ${CMAKE_BINARY_DIR}/wine-run.sh @ONLY
        FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                         WORLD_READ WORLD_EXECUTE)
    set(VX_TEST_EMULATOR ${CMAKE_BINARY_DIR}/wine-run.sh)
endif()

# vx_windows_test_suite(target): each test case a CTest test, listed by running the
# program once (under Wine) when CTest starts, so cases compiled for Linux only
# never show up as empty passes.
function(vx_windows_test_suite target)
    if(VX_TEST_EMULATOR)
        set_target_properties(${target} PROPERTIES CROSSCOMPILING_EMULATOR ${VX_TEST_EMULATOR})
    endif()
    # The deliverables' cases share the prefix's C:\Program Files folder. Keys and clicks
    # go through Wine's one desktop, where another test's window could take them.
    set(extra "")
    if(target STREQUAL "test_game")
        set(extra RESOURCE_LOCK program_files)
    elseif(target STREQUAL "test_input" OR target STREQUAL "test_commands")
        set(extra RUN_SERIAL TRUE)
    endif()
    gtest_discover_tests(${target}
        WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
        PROPERTIES TIMEOUT 120 ${extra}
        DISCOVERY_MODE PRE_TEST
        DISCOVERY_TIMEOUT 120)
endfunction()
