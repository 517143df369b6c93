# Well-formed old-protocol frames with fuzzer-chosen letters and payloads, so the reply decoders
# (device block, satellites, radio and modem replies, binary logs) see deep input.
varnok_fuzzer(NAME fuzz_oldproto_frames
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/Em_OldProtocol_fuzz.cpp
    LIBS BVParse_static)
