# The new binary protocol: packet building and the chunk-reassembly receive path.
varnok_bench(NAME bench_newproto
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/newproto_bench.cpp
    LIBS BVParse_static)
