# Shared compile settings and helpers for every target of the project.

add_library(varnok_warnings INTERFACE)
target_compile_options(varnok_warnings INTERFACE -Wall -Wextra -Wpedantic)
if(VARNOK_WERROR)
    target_compile_options(varnok_warnings INTERFACE -Werror)
endif()

# varnok_library(NAME <lib> INCLUDE_DIR <dir> [DEPENDS <project libs>] [EXTERNAL <system libs>])
# Creates <lib>_objects (an object library the folders add sources to), the shared
# deliverable <lib>, and <lib>_static for tests, which need the internal classes the
# shared library hides. DEPENDS names project libraries by base name: the shared
# deliverable links their shared form, the static one their static form.
function(varnok_library)
    cmake_parse_arguments(A "" "NAME;INCLUDE_DIR" "DEPENDS;EXTERNAL" ${ARGN})
    set(static_deps)
    foreach(d ${A_DEPENDS})
        list(APPEND static_deps ${d}_static)
    endforeach()

    add_library(${A_NAME}_objects OBJECT)
    target_include_directories(${A_NAME}_objects PUBLIC ${A_INCLUDE_DIR})
    target_link_libraries(${A_NAME}_objects PUBLIC ${static_deps} ${A_EXTERNAL}
                                            PRIVATE varnok_warnings)
    target_compile_definitions(${A_NAME}_objects PRIVATE ${A_NAME}_BUILDING=1)

    add_library(${A_NAME} SHARED $<TARGET_OBJECTS:${A_NAME}_objects>)
    # Installed, the headers are found under the include folder (see VarnokInstall.cmake).
    target_include_directories(${A_NAME} PUBLIC $<BUILD_INTERFACE:${A_INCLUDE_DIR}>)
    target_link_libraries(${A_NAME} PUBLIC ${A_DEPENDS} ${A_EXTERNAL})

    add_library(${A_NAME}_static STATIC $<TARGET_OBJECTS:${A_NAME}_objects>)
    target_include_directories(${A_NAME}_static PUBLIC ${A_INCLUDE_DIR})
    target_link_libraries(${A_NAME}_static PUBLIC ${static_deps} ${A_EXTERNAL})
endfunction()

# varnok_test(NAME <exe> SOURCES ... LIBS ... LABELS ...)
# One GoogleTest executable, its cases discovered into CTest with the given labels.
function(varnok_test)
    cmake_parse_arguments(A "" "NAME" "SOURCES;LIBS;LABELS" ${ARGN})
    add_executable(${A_NAME} ${A_SOURCES})
    target_link_libraries(${A_NAME} PRIVATE ${A_LIBS} GTest::gtest GTest::gmock GTest::gtest_main
                                            varnok_warnings)
    target_compile_definitions(${A_NAME} PRIVATE
        VARNOK_CORPUS_DIR="${VARNOK_CORPUS_DIR}"
        VARNOK_FIXTURES_DIR="${VARNOK_FIXTURES_DIR}")
    gtest_discover_tests(${A_NAME}
        PROPERTIES TIMEOUT 300
        DISCOVERY_TIMEOUT 60)
    # Labels are set by a script that CTest runs after the discovered list is loaded: passed
    # through gtest_discover_tests, a second label would be read as a property name.
    set(label_script ${CMAKE_CURRENT_BINARY_DIR}/${A_NAME}_labels.cmake)
    file(WRITE ${label_script}
        "foreach(t IN LISTS ${A_NAME}_TESTS)\n"
        "  set_tests_properties(\"\${t}\" PROPERTIES LABELS \"${A_LABELS}\")\n"
        "endforeach()\n")
    set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${label_script})
endfunction()

# Sanitizer builds: every program carries the options and suppressions of the test presets
# (tests/lsan/qt.supp, tests/tsan/qt.supp), so a bare ctest inside build/<preset> or a test run
# by hand reports only our own faults. The fuzzers keep libFuzzer's own handling.
if(CMAKE_CXX_FLAGS MATCHES "-fsanitize=" AND NOT VARNOK_BUILD_FUZZ)
    file(READ ${PROJECT_SOURCE_DIR}/tests/lsan/qt.supp VARNOK_LSAN_SUPPRESSIONS)
    file(READ ${PROJECT_SOURCE_DIR}/tests/tsan/qt.supp VARNOK_TSAN_SUPPRESSIONS)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
        ${PROJECT_SOURCE_DIR}/tests/lsan/qt.supp ${PROJECT_SOURCE_DIR}/tests/tsan/qt.supp)
    configure_file(${CMAKE_CURRENT_LIST_DIR}/sanitizer_defaults.cpp.in
        ${CMAKE_BINARY_DIR}/sanitizer_defaults.cpp @ONLY)
    target_sources(varnok_warnings INTERFACE
        $<$<STREQUAL:$<TARGET_PROPERTY:TYPE>,EXECUTABLE>:${CMAKE_BINARY_DIR}/sanitizer_defaults.cpp>)
endif()
