# Arbitrary bytes straight into the STX/ETX, Hemisphere and engine boards' input buffers, in
# slices the input chooses, with the parse step run after each slice.
varnok_fuzzer(NAME fuzz_board_drivers
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/board_drivers_fuzz.cpp
    LIBS BVParse_static)
