# The history graph's paint against a bare QPainter loop (include()d from bench/CMakeLists.txt).
add_executable(voltaro_graph_benchmark ${CMAKE_CURRENT_LIST_DIR}/GraphBenchmark.cpp
    ${CMAKE_CURRENT_LIST_DIR}/QtBenchmarkMain.cpp)
target_link_libraries(voltaro_graph_benchmark PRIVATE voltaro_platform benchmark::benchmark)
