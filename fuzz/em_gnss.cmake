# Arbitrary receiver bytes through Em_Gnss::RcvData and ParseData for every protocol object and
# board driver pairing; later parsers join by being reached from these two calls.
varnok_fuzzer(NAME fuzz_em_gnss
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/Em_Gnss_fuzz.cpp
    LIBS BVParse_static)
