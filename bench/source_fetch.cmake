# The network panels' socket fetch: a 5,000-record table in 1,460-byte TCP pieces, decoded as
# the client decodes them, joined and parsed once.
if(TARGET VarnokDevice_static)
    varnok_bench(NAME bench_source_fetch
        SOURCES ${CMAKE_CURRENT_LIST_DIR}/source_fetch_bench.cpp
                ${PROJECT_SOURCE_DIR}/app/pages/network/source_table_pieces.cpp
        LIBS VarnokDevice_static)
    target_include_directories(bench_source_fetch PRIVATE ${PROJECT_SOURCE_DIR}/app/pages/network)
endif()
