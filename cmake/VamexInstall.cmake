# Installing the runtime for programs built out of the tree: the translator vamexc under
# bin, headers under include/vamex, the runtime and the entry under lib, the CMake
# package, vamex.pc,
# the font under share/vamex and the licence. CPack makes the Debian package (or a
# zip where Debian packages do not apply).
include(CMakePackageConfigHelpers)

set(VX_INSTALL_LIBDIR lib)
set(VX_INSTALL_INCLUDEDIR include/vamex)
set(VX_INSTALL_DATADIR share/vamex)
set(VX_INSTALL_CMAKEDIR ${VX_INSTALL_LIBDIR}/cmake/Vamex)
# The package needs SDL2 only where the runtime links it; a backend that is not SDL's
# may set the pkg-config lines first.
get_target_property(VX_RUNTIME_LINKS vamex LINK_LIBRARIES)
if("${VX_RUNTIME_LINKS}" MATCHES "SDL2")
    set(VX_OVER_SDL ON)
else()
    set(VX_OVER_SDL OFF)
endif()
if(NOT DEFINED VX_PC_REQUIRES)
    if(VX_OVER_SDL)
        set(VX_PC_REQUIRES "sdl2 gl")
    else()
        set(VX_PC_REQUIRES "")
    endif()
endif()
if(NOT DEFINED VX_PC_LIBS)
    set(VX_PC_LIBS "-pthread")
endif()

# Every runtime folder's headers; of platform/, only the seam, not a backend's own.
install(FILES vamex.h DESTINATION ${VX_INSTALL_INCLUDEDIR})
foreach(folder base lang render input sound commands host)
    install(DIRECTORY ${folder}/ DESTINATION ${VX_INSTALL_INCLUDEDIR}/${folder}
            FILES_MATCHING PATTERN "*.h")
endforeach()
file(GLOB VX_SEAM_HEADERS ${CMAKE_CURRENT_SOURCE_DIR}/platform/*.h)
install(FILES ${VX_SEAM_HEADERS} DESTINATION ${VX_INSTALL_INCLUDEDIR}/platform)

install(TARGETS vamex vamex_entry EXPORT VamexTargets
        ARCHIVE DESTINATION ${VX_INSTALL_LIBDIR}
        INCLUDES DESTINATION ${VX_INSTALL_INCLUDEDIR})
# The translator and driver, exported as Vamex::vamexc; it finds the runtime from bin/.
install(TARGETS vamexc EXPORT VamexTargets RUNTIME DESTINATION bin)
install(EXPORT VamexTargets NAMESPACE Vamex:: DESTINATION ${VX_INSTALL_CMAKEDIR})

configure_package_config_file(cmake/VamexConfig.cmake.in
    ${CMAKE_CURRENT_BINARY_DIR}/VamexConfig.cmake
    INSTALL_DESTINATION ${VX_INSTALL_CMAKEDIR}
    PATH_VARS VX_INSTALL_DATADIR)
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/VamexConfigVersion.cmake
    COMPATIBILITY SameMinorVersion)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/VamexConfig.cmake
              ${CMAKE_CURRENT_BINARY_DIR}/VamexConfigVersion.cmake
              cmake/VamexProgram.cmake
        DESTINATION ${VX_INSTALL_CMAKEDIR})

configure_file(cmake/vamex.pc.in ${CMAKE_CURRENT_BINARY_DIR}/vamex.pc @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/vamex.pc DESTINATION ${VX_INSTALL_LIBDIR}/pkgconfig)

install(FILES assets/SMALFONT.BMP assets/SMALFONT.txt DESTINATION ${VX_INSTALL_DATADIR})
install(FILES LICENSE DESTINATION share/doc/vamex-dev)

# cpack -G DEB: vamex-dev_<version>_<arch>.deb, installing under /usr. On Windows the
# build's zip is the player's (cmake/windows.cmake); the SDK installs with cmake --install.
if(NOT WIN32)
    set(CPACK_PACKAGE_NAME vamex-dev)
    set(CPACK_PACKAGE_VENDOR "The Vamex developers")
    set(CPACK_PACKAGE_CONTACT "The Vamex developers")
    set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Vamex game language runtime: headers, static libraries, CMake package")
    set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
    set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_CURRENT_SOURCE_DIR}/LICENSE)
    set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
    set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
    set(CPACK_DEBIAN_PACKAGE_SECTION libdevel)
    # g++: vamexc compiles the programs it translates.
    set(CPACK_DEBIAN_PACKAGE_DEPENDS "libsdl2-dev, libgl-dev, g++")
    set(CPACK_GENERATOR DEB)
    include(CPack)
endif()
