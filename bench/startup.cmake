# Start-up of the program: time to its first painted frame and its resident memory, over a
# few offscreen starts of the built Varnok.
if(TARGET Varnok)
    add_executable(bench_startup ${CMAKE_CURRENT_SOURCE_DIR}/startup.cpp)
    find_package(Qt6 REQUIRED COMPONENTS Core)
    target_link_libraries(bench_startup PRIVATE Qt6::Core varnok_warnings)
    target_compile_definitions(bench_startup PRIVATE VARNOK_PROGRAM="$<TARGET_FILE:Varnok>")
    add_dependencies(bench_startup Varnok)
endif()
