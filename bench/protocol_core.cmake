# Receive ring, parse loop and checksums of BVParse.
varnok_bench(NAME bench_protocol_core
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/protocol_core_bench.cpp
    LIBS BVParse_static)
