# vamex_add_program(name SOURCES source... [DEFINES definition...] [CONSTS NAME=value...])
# Builds one compiled Vamex program: its sources, the process entry and the runtime.
# A source ending in .vx (one per program) is the program in the language: it is
# translated at build time by the translator VAMEX_TRANSLATOR (a target or a path;
# VAMEX_TRANSLATOR_DEPENDS names what builds a path), each CONSTS entry given to it
# as -D NAME=value. Editing the .vx or the translator translates again.
# The font picture (VAMEX_FONT) is copied beside the executable, as programs read it
# from their working folder. The same file serves the source tree and an installed
# package, where Vamex::vamex and Vamex::vamex_entry name the runtime and the entry.
function(vamex_add_program name)
    cmake_parse_arguments(P "" "" "SOURCES;DEFINES;CONSTS" ${ARGN})
    if(NOT P_SOURCES)
        message(FATAL_ERROR "vamex_add_program(${name}): no SOURCES")
    endif()
    set(sources "")
    set(translated 0)
    foreach(source ${P_SOURCES})
        if(NOT source MATCHES "\\.vx$")
            list(APPEND sources ${source})
            continue()
        endif()
        math(EXPR translated "${translated} + 1")
        if(translated GREATER 1)
            message(FATAL_ERROR "vamex_add_program(${name}): one .vx source per program")
        endif()
        if(NOT VAMEX_TRANSLATOR)
            message(FATAL_ERROR "vamex_add_program(${name}): no translator (VAMEX_TRANSLATOR) for ${source}")
        endif()
        if(TARGET ${VAMEX_TRANSLATOR})
            set(command $<TARGET_FILE:${VAMEX_TRANSLATOR}>)
            set(depends $<TARGET_FILE:${VAMEX_TRANSLATOR}>)
            get_target_property(imported ${VAMEX_TRANSLATOR} IMPORTED)
            if(NOT imported)
                list(APPEND depends ${VAMEX_TRANSLATOR})
            endif()
        else()
            set(command ${VAMEX_TRANSLATOR})
            set(depends ${VAMEX_TRANSLATOR})
        endif()
        list(APPEND depends ${VAMEX_TRANSLATOR_DEPENDS})
        get_filename_component(input ${source} ABSOLUTE)
        set(output ${CMAKE_CURRENT_BINARY_DIR}/${name}.vx.cpp)
        set(consts "")
        foreach(const ${P_CONSTS})
            list(APPEND consts -D ${const})
        endforeach()
        add_custom_command(OUTPUT ${output}
            COMMAND ${command} ${input} -o ${output} ${consts}
            DEPENDS ${input} ${depends}
            COMMENT "Translating ${source} for ${name}"
            VERBATIM)
        list(APPEND sources ${output})
    endforeach()
    add_executable(${name} ${sources})
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
