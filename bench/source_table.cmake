# The caster's source table: a 5,000-record table through the parser, and through the receiver
# path (new-protocol source-list frames of 4,096-byte pieces, the collector, the parser).
if(TARGET VarnokDevice_static AND TARGET BVParse_test_support)
    varnok_bench(NAME bench_source_table
        SOURCES ${CMAKE_CURRENT_LIST_DIR}/source_table_bench.cpp
                ${PROJECT_SOURCE_DIR}/tests/protocol/support/NewWireHelpers.cpp
        LIBS VarnokDevice_static BVParse_test_support)
endif()
