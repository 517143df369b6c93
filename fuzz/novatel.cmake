# Arbitrary bytes through the NovAtel board's framing and, wrapped as logs with a good CRC,
# through every log decoder.
varnok_fuzzer(NAME fuzz_novatel
    SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/novatel_fuzzer.cpp
    LIBS BVParse_static)
