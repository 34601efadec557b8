# The event log view with a long log: opening, appending a line, memory.
# Included from bench/CMakeLists.txt; guarded so that a second include is harmless.
include_guard(GLOBAL)
find_package(benchmark REQUIRED)

add_executable(voltaro_logview_benchmark ${CMAKE_CURRENT_LIST_DIR}/LogViewBenchmark.cpp
    ${CMAKE_CURRENT_LIST_DIR}/QtBenchmarkMain.cpp)
target_link_libraries(voltaro_logview_benchmark PRIVATE voltaro_platform benchmark::benchmark)
