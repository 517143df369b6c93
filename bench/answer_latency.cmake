# Delay from the simulated receiver writing an answer to a page slot joined with connectQueued
# (session threads, hand-over, GUI thread, hub).
if(TARGET VarnokDevice_static AND EXISTS ${PROJECT_SOURCE_DIR}/tools/simreceiver/CMakeLists.txt)
    # The information page and the page base it needs, on the same static libraries.
    varnok_bench(NAME bench_answer_latency
        SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/answer_latency.cpp
                ${PROJECT_SOURCE_DIR}/app/pages/identity/info.cpp
                ${PROJECT_SOURCE_DIR}/app/pages/identity/info.h
                ${PROJECT_SOURCE_DIR}/app/pages/identity/info.ui
                ${PROJECT_SOURCE_DIR}/app/shell/widget.cpp ${PROJECT_SOURCE_DIR}/app/shell/widget.h
                ${PROJECT_SOURCE_DIR}/app/shell/prompts.cpp
                ${PROJECT_SOURCE_DIR}/app/shell/timer_scale.cpp
        LIBS VarnokDevice_static varnok_simreceiver)
    target_include_directories(bench_answer_latency PRIVATE ${PROJECT_SOURCE_DIR}/app/pages/identity
                                                            ${PROJECT_SOURCE_DIR}/app/shell)
    set_target_properties(bench_answer_latency PROPERTIES AUTOMOC ON AUTOUIC ON)
endif()
