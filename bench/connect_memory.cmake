# Resident memory of the program's own stack after the connection page has connected to the
# simulated receiver (a child process on a pty mapped as COM1).
if(TARGET VarnokPages AND TARGET varnok_simreceiver_process)
    add_executable(bench_connect_memory ${CMAKE_CURRENT_SOURCE_DIR}/connect_memory.cpp)
    target_link_libraries(bench_connect_memory PRIVATE VarnokPages varnok_simreceiver_process
                                                       varnok_warnings)
    target_include_directories(bench_connect_memory PRIVATE
        ${CMAKE_BINARY_DIR}/app/shell/VarnokShell_autogen/include)
endif()
