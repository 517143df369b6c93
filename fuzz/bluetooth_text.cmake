varnok_fuzzer(NAME fuzz_bluetooth_text SOURCES ${CMAKE_CURRENT_LIST_DIR}/bluetooth_text_fuzz.cpp
              LIBS BVComm_static)
