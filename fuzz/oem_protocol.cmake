# Board bytes through the OEM protocol object for each of its board types.
varnok_fuzzer(NAME fuzz_oem_protocol
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/Em_OemProtocol_fuzz.cpp
    LIBS BVParse_static)
