# Fuzzer-chosen caller records and receiver state through the old-protocol command builders;
# every command must be one whole frame the receive loop consumes.
varnok_fuzzer(NAME fuzz_oldcmds
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/Em_OldCommands_fuzz.cpp
    LIBS BVParse_static)
