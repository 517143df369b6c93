# Message cutting of the OEM protocol object over mixed, garbage and captured streams.
varnok_bench(NAME bench_oem_protocol
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/oem_protocol_bench.cpp
    LIBS BVParse_static)
