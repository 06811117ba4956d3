# The Windows build: the runtime over user32, gdi32, WGL, winmm, DirectInput 7 and
# DirectSound, statically linked, and a zip a player unpacks and runs.

if(NOT MINGW)
    message(FATAL_ERROR "The Windows build is made with mingw-w64 (cmake/toolchain-mingw-*.cmake)")
endif()

option(VX_WERROR "Treat warnings as errors in the runtime and the programs" OFF)

# The installed package's pkg-config lines: the system's libraries, no SDL.
set(VX_PC_REQUIRES "")
set(VX_PC_LIBS "-lopengl32 -lgdi32 -luser32 -lwinmm -ldinput -ldxguid -ldsound -lole32 -ladvapi32 -pthread")

# Each program's resource (host/entry.rc) is compiled by windres with the program's
# name, the version and the include path only: the compilers' warning and sanitizer
# options are no options of windres.
enable_language(RC)
set(CMAKE_RC_COMPILE_OBJECT "<CMAKE_RC_COMPILER> -O coff <DEFINES> <INCLUDES> <SOURCE> <OBJECT>")

# vx_windows_runtime(target) links the runtime library with the system's interfaces.
function(vx_windows_runtime target)
    target_compile_definitions(${target} PRIVATE
        _WIN32_WINNT=0x0601 WINVER=0x0601 DIRECTINPUT_VERSION=0x0700)
    target_link_libraries(${target} PUBLIC
        opengl32 gdi32 user32 winmm dinput dxguid dsound ole32 advapi32 Threads::Threads)
endfunction()

# vx_windows_entry(target): every program that links the entry `target` is a window
# program (no console opens beside it; one it was started from still gets its
# standard error and its Ctrl+C, see platform/win32/console.cpp), entered at
# WinMain, and carries the icon and version information naming the program.
function(vx_windows_entry target)
    # The system enters at the host's WinMain (host/winmain.cpp), which the C library's
    # own main asks for only after the linker has passed the runtime: ask for it first.
    if(CMAKE_SIZEOF_VOID_P EQUAL 8)
        set(winmain WinMain)
    else()
        set(winmain _WinMain@16)
    endif()
    target_link_options(${target} INTERFACE -mwindows "LINKER:-u,${winmain}")
    target_sources(${target} INTERFACE
        $<BUILD_INTERFACE:${CMAKE_SOURCE_DIR}/host/entry.rc>
        $<INSTALL_INTERFACE:$<INSTALL_PREFIX>/include/vamex/host/entry.rc>)
    target_compile_definitions(${target} INTERFACE
        $<$<COMPILE_LANGUAGE:RC>:VX_PROGRAM=$<TARGET_PROPERTY:NAME>>
        $<$<COMPILE_LANGUAGE:RC>:VX_VERSION_MAJOR=${PROJECT_VERSION_MAJOR}>
        $<$<COMPILE_LANGUAGE:RC>:VX_VERSION_MINOR=${PROJECT_VERSION_MINOR}>
        $<$<COMPILE_LANGUAGE:RC>:VX_VERSION_PATCH=${PROJECT_VERSION_PATCH}>)
    # An installed runtime's programs find the resource and its icon under its headers.
    install(FILES ${CMAKE_SOURCE_DIR}/host/entry.rc DESTINATION include/vamex/host)
    install(FILES ${CMAKE_SOURCE_DIR}/assets/vamex.ico DESTINATION include/vamex/assets)
endfunction()

# vx_windows_package() installs the programs and the font picture in one folder and
# makes a zip per architecture (`cpack` in the build folder).
macro(vx_windows_package)
    if(CMAKE_SIZEOF_VOID_P EQUAL 8)
        set(vx_arch win64)
    else()
        set(vx_arch win32)
    endif()
    if(VX_WERROR)
        foreach(target vamex vamex_entry scroll_on scroll_off demo vamexc_lib vamexc)
            target_compile_options(${target} PRIVATE $<$<COMPILE_LANGUAGE:C,CXX>:-Werror>)
        endforeach()
    endif()
    # The programs read the font picture from their working folder: keep it beside them.
    configure_file(${CMAKE_SOURCE_DIR}/assets/SMALFONT.BMP
        ${CMAKE_BINARY_DIR}/game/SMALFONT.BMP COPYONLY)
    # The player's files are a component of their own, so the SDK's headers and
    # libraries (cmake/VamexInstall.cmake) stay out of the zip.
    install(TARGETS scroll_on scroll_off demo RUNTIME DESTINATION . COMPONENT player)
    install(FILES ${CMAKE_SOURCE_DIR}/assets/SMALFONT.BMP DESTINATION . COMPONENT player)
    # The demo reads its pictures and sound from its folder too.
    install(FILES ${CMAKE_SOURCE_DIR}/assets/demo/demoback.bmp
                  ${CMAKE_SOURCE_DIR}/assets/demo/demoship.bmp
                  ${CMAKE_SOURCE_DIR}/assets/demo/demoball.bmp
                  ${CMAKE_SOURCE_DIR}/assets/demo/demobeep.wav
            DESTINATION . COMPONENT player)
    install(FILES ${CMAKE_SOURCE_DIR}/docs/windows-readme.txt DESTINATION . RENAME README.txt
            COMPONENT player)
    # The zip needs the programs only, not every test and benchmark built first.
    set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
    set(CPACK_GENERATOR ZIP)
    set(CPACK_ARCHIVE_COMPONENT_INSTALL ON)
    set(CPACK_COMPONENTS_ALL player)
    set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
    set(CPACK_PACKAGE_NAME vamex)
    set(CPACK_PACKAGE_VERSION 1.0)
    set(CPACK_PACKAGE_FILE_NAME vamex-${vx_arch})
    set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
    set(CPACK_COMPONENT_INCLUDE_TOPLEVEL_DIRECTORY ON)
    set(CPACK_STRIP_FILES ON)
    include(CPack)
endmacro()
