# NovAtel board: framing, CRC-32 and log decoding over the NovAtel binary capture.
varnok_bench(NAME bench_novatel
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/novatel_bench.cpp
    LIBS BVParse_static)
