# The settings document parser. The program's folders are not part of the fuzz build, so the
# library's sources are compiled in directly.
find_package(PkgConfig QUIET)
if(PkgConfig_FOUND)
    pkg_check_modules(FUZZ_TINYXML2 QUIET IMPORTED_TARGET tinyxml2)
endif()
if(TARGET PkgConfig::FUZZ_TINYXML2)
    set(fuzz_tinyxml2 PkgConfig::FUZZ_TINYXML2)
else()
    find_library(fuzz_tinyxml2 NAMES tinyxml2 REQUIRED)
endif()
set(settings_dir ${CMAKE_SOURCE_DIR}/app/settings)
varnok_fuzzer(NAME fuzz_jsettings
    SOURCES
        ${CMAKE_CURRENT_SOURCE_DIR}/jsettings_fuzz.cpp
        ${settings_dir}/atomic_file.cpp
        ${settings_dir}/config_paths.cpp
        ${settings_dir}/jsettings.cpp
        ${settings_dir}/jsettings_imp.cpp
        ${settings_dir}/program_layout.cpp
        ${settings_dir}/settings_text.cpp
    LIBS ${fuzz_tinyxml2})
target_include_directories(fuzz_jsettings PRIVATE ${settings_dir})
