# Fuzzer-chosen receiver replies, then caller records through the Em_Gnss operations and every
# reader of the three receiver kinds; records and buffers are exact heap copies so a read or
# write past one is reported.
varnok_fuzzer(NAME fuzz_facade_ops
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/Em_GnssFacade_fuzz.cpp
    LIBS BVParse_static)
