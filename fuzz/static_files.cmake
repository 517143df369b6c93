# The receiver's static-file directory stream, cut into fuzzer-chosen pieces, and the data file
# header. The program's folders are not part of the fuzz build, so the sources are compiled in.
set(device_dir ${CMAKE_SOURCE_DIR}/app/device)
varnok_fuzzer(NAME fuzz_static_files
    SOURCES
        ${CMAKE_CURRENT_SOURCE_DIR}/static_files_fuzz.cpp
        ${device_dir}/static_files.cpp
        ${device_dir}/device_codes.cpp)
target_include_directories(fuzz_static_files PRIVATE ${device_dir})
