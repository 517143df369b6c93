# The new binary protocol: chunked reply frames through the new protocol object.
varnok_fuzzer(NAME fuzz_newproto
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/newproto_fuzz.cpp
    LIBS BVParse_static)
