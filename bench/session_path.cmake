# The session's parse path: Em_Gnss(1, t) fed in 2,048-byte reads over the corpus captures.
varnok_bench(NAME session_path_bench
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/session_path_bench.cpp
    LIBS BVParse_static)
