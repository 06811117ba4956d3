# The installed runtime as others use it: test_sdk installs the build, builds the
# examples against the install and plays them through the scripted player, a library
# loaded in front of SDL. Linux over SDL only; an instrumented runtime would need the
# sanitizers' flags in every program built against it.
if(WIN32 OR CMAKE_CROSSCOMPILING OR VX_SANITIZE OR VX_FUZZ)
    return()
endif()
find_program(VX_PKG_CONFIG pkg-config)
if(NOT VX_PKG_CONFIG)
    message(STATUS "pkg-config not found: the SDK test is left out")
    return()
endif()

add_library(vx_script_player SHARED ${CMAKE_CURRENT_LIST_DIR}/player/script_player.cpp)
target_link_libraries(vx_script_player PRIVATE ${SDL2_LIBRARIES} ${CMAKE_DL_LIBS})

vx_test_suite(sdk)
add_dependencies(test_sdk vx_script_player vamex vamex_entry)
target_compile_definitions(test_sdk PRIVATE
    VX_CMAKE_COMMAND="${CMAKE_COMMAND}"
    VX_CMAKE_GENERATOR="${CMAKE_GENERATOR}"
    VX_MAKE_PROGRAM="${CMAKE_MAKE_PROGRAM}"
    VX_CXX_COMPILER="${CMAKE_CXX_COMPILER}"
    VX_SCRIPT_PLAYER="$<TARGET_FILE:vx_script_player>")
