# Install rules and the Debian package.
#   cmake --install build/release --prefix <dir>          the program, libraries and data
#   cmake --build --preset release --target package       build/release/varnok_<version>_<arch>.deb
# Installed: bin/Varnok; the three libraries with their headers, a CMake package each
# (find_package(BVDevice) finds BVParse and BVComm) and pkg-config files; the icon, the
# desktop entry and the shipped share/varnok/configs/radioconfig.vnk. The test tools (the
# simulated receiver, the screenshot tool) are not installed. Nothing gets an RPATH: the
# libraries sit in the system's library folder.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(varnok_cmake_dir ${CMAKE_CURRENT_LIST_DIR})

# varnok_install_library(<name> <header folder> <description> [<required packages>...])
function(varnok_install_library name headers description)
    set(requires ${ARGN})
    set_target_properties(${name} PROPERTIES
        VERSION ${PROJECT_VERSION} SOVERSION ${PROJECT_VERSION_MAJOR})
    install(TARGETS ${name} EXPORT ${name}Targets
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
        INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
    install(DIRECTORY ${headers} DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}
        FILES_MATCHING PATTERN "*.h" PATTERN "*.def")

    set(pkg_dir ${CMAKE_INSTALL_LIBDIR}/cmake/${name})
    install(EXPORT ${name}Targets NAMESPACE ${name}:: DESTINATION ${pkg_dir})
    set(VARNOK_PACKAGE ${name})
    set(VARNOK_PACKAGE_DEPENDENCIES "")
    foreach(r ${requires})
        string(APPEND VARNOK_PACKAGE_DEPENDENCIES "find_dependency(${r} ${PROJECT_VERSION})\n")
    endforeach()
    set(out ${CMAKE_BINARY_DIR}/install/${name})
    configure_package_config_file(${varnok_cmake_dir}/PackageConfig.cmake.in
        ${out}/${name}Config.cmake INSTALL_DESTINATION ${pkg_dir})
    write_basic_package_version_file(${out}/${name}ConfigVersion.cmake
        VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
    install(FILES ${out}/${name}Config.cmake ${out}/${name}ConfigVersion.cmake
        DESTINATION ${pkg_dir})

    # The .pc file names the prefix it is installed under (a staging folder, /usr in the
    # package), so it is written when installing.
    set(VARNOK_PACKAGE_DESCRIPTION "${description}")
    list(JOIN requires " " VARNOK_PC_REQUIRES)
    set(VARNOK_PC_PREFIX_TOKEN "@VARNOK_PC_PREFIX@")
    configure_file(${varnok_cmake_dir}/library.pc.in ${out}/${name}.pc.in @ONLY)
    install(CODE "set(VARNOK_PC_PREFIX \"\${CMAKE_INSTALL_PREFIX}\")
        configure_file(\"${out}/${name}.pc.in\" \"${out}/${name}.pc\" @ONLY)")
    install(FILES ${out}/${name}.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
endfunction()

if(TARGET BVParse)
    varnok_install_library(BVParse ${PROJECT_SOURCE_DIR}/protocol/include/BVParse
        "GNSS receiver protocols: frames, commands, replies, NMEA 0183, RTCM 3")
endif()
if(TARGET BVComm)
    varnok_install_library(BVComm ${PROJECT_SOURCE_DIR}/ports/include/BVComm
        "Serial, TCP, file-replay and Bluetooth ports, sockets and the core logger")
endif()
if(TARGET BVDevice)
    # The session's test seams live in its src/ folder and stay out of the headers.
    varnok_install_library(BVDevice ${PROJECT_SOURCE_DIR}/session/include/BVDevice
        "GNSS receiver session: read, parse and write threads and the command queue"
        BVParse BVComm)
endif()

if(TARGET Varnok)
    install(TARGETS Varnok RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    # What the program ships and reads, never writes (see ProgramLayout).
    set(data_dir ${CMAKE_INSTALL_DATADIR}/varnok)
    install(FILES ${PROJECT_SOURCE_DIR}/app/settings/configs/radioconfig.vnk
        DESTINATION ${data_dir}/configs)
    install(DIRECTORY ${VARNOK_PROGRAM_DIR}/translates/ DESTINATION ${data_dir}/translates
        OPTIONAL FILES_MATCHING PATTERN "*.qm")
    install(FILES ${PROJECT_SOURCE_DIR}/app/resources/varnok.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/64x64/apps)
    install(FILES ${PROJECT_SOURCE_DIR}/app/resources/varnok.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
endif()

# The Debian package: dependencies come from dpkg-shlibdeps; the package's own libraries get
# a shlibs file, and their build folders tell dpkg-shlibdeps where the program finds them.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME varnok)
set(CPACK_PACKAGE_VENDOR "Varnok")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "configures GNSS survey receivers")
set(CPACK_PACKAGE_DESCRIPTION
    "Varnok connects to a GNSS survey receiver over a serial port, Bluetooth or TCP and reads \
and changes its identity, RTK base or rover set-up, static recording, UHF radio, GPRS/NTRIP \
link, Wi-Fi, NMEA output and satellite channels. The package also holds the receiver \
libraries BVParse, BVComm and BVDevice with their headers.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Varnok maintainers <maintainers@varnok.invalid>")
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS
    ${CMAKE_BINARY_DIR}/protocol ${CMAKE_BINARY_DIR}/ports ${CMAKE_BINARY_DIR}/session)
include(CPack)
