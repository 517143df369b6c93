# Delay from bytes reaching the port to the data callback (loopback TCP, scripted protocol).
varnok_bench(NAME bench_session_latency
    SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/session_latency.cpp
            ${CMAKE_CURRENT_SOURCE_DIR}/session_bench_support.cpp
            ${PROJECT_SOURCE_DIR}/tests/session/support/ScriptedProtocol.cpp
    LIBS BVDevice_static)
target_include_directories(bench_session_latency PRIVATE
    ${PROJECT_SOURCE_DIR}/tests/ports/support ${PROJECT_SOURCE_DIR}/tests/session/support)
