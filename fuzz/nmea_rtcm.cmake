# NMEA sentences and RTCM 3 frames through the NMEA-only board, the RTCM 3 frame step and the
# RTCM 3 decoders.
varnok_fuzzer(NAME fuzz_nmea_rtcm
    SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/nmea_rtcm_fuzzer.cpp
    LIBS BVParse_static)
