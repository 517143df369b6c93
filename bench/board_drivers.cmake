# MB/s of the Hemisphere board over the Crescent capture, in port-read slices.
varnok_bench(NAME bench_board_drivers
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/board_drivers_bench.cpp
    LIBS BVParse_static)
