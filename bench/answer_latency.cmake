# Delay from the simulated receiver writing an answer to a page slot joined with connectQueued
# (session threads, hand-over, GUI thread, hub).
if(TARGET VarnokDevice_static AND EXISTS ${PROJECT_SOURCE_DIR}/tools/simreceiver/CMakeLists.txt)
    varnok_bench(NAME bench_answer_latency
        SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/answer_latency.cpp
        LIBS VarnokDevice_static varnok_simreceiver)
    set_target_properties(bench_answer_latency PROPERTIES AUTOMOC ON)
endif()
