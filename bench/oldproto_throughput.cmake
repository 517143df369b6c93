# Parse throughput of the old protocol's receive loop over a generated mixed stream.
varnok_bench(NAME bench_oldproto_throughput
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/oldproto_throughput_bench.cpp
    LIBS BVParse_static)
