# CPU use of an idle open session (pseudo-terminal and loopback TCP), keep-alive gaps.
varnok_bench(NAME bench_session_idle_cpu
    SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/session_idle_cpu.cpp
            ${CMAKE_CURRENT_SOURCE_DIR}/session_bench_support.cpp
            ${PROJECT_SOURCE_DIR}/tests/ports/support/PtyPair.cpp
            ${PROJECT_SOURCE_DIR}/tests/session/support/ScriptedProtocol.cpp
    LIBS BVDevice_test_hooks)
target_include_directories(bench_session_idle_cpu PRIVATE
    ${PROJECT_SOURCE_DIR}/tests/ports/support ${PROJECT_SOURCE_DIR}/tests/session/support)
