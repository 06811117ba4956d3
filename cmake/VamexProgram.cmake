# vamex_add_program(name SOURCES source... [DEFINES definition...])
# Builds one compiled Vamex program: its sources, the process entry and the runtime.
# The font picture (VAMEX_FONT) is copied beside the executable, as programs read it
# from their working folder. The same file serves the source tree and an installed
# package, where Vamex::vamex and Vamex::vamex_entry name the runtime and the entry.
function(vamex_add_program name)
    cmake_parse_arguments(P "" "" "SOURCES;DEFINES" ${ARGN})
    if(NOT P_SOURCES)
        message(FATAL_ERROR "vamex_add_program(${name}): no SOURCES")
    endif()
    add_executable(${name} ${P_SOURCES})
    # The entry first: its main calls into the runtime, so the runtime follows it.
    target_link_libraries(${name} PRIVATE Vamex::vamex_entry Vamex::vamex)
    target_compile_definitions(${name} PRIVATE ${P_DEFINES})
    if(VAMEX_FONT AND EXISTS "${VAMEX_FONT}")
        add_custom_command(TARGET ${name} POST_BUILD
            COMMAND ${CMAKE_COMMAND} -E copy_if_different "${VAMEX_FONT}"
                    "$<TARGET_FILE_DIR:${name}>/SMALFONT.BMP"
            VERBATIM)
    endif()
endfunction()
