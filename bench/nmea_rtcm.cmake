# Throughput of the NMEA-only board over the corpus's NMEA captures and of the RTCM 3 frame
# step, frame store and 1004 decoder over its RTCM 3 captures.
varnok_bench(NAME bench_nmea_rtcm
    SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/nmea_rtcm_bench.cpp
    LIBS BVParse_static)
