# Reading and safely saving a long log file.
include_guard(GLOBAL)
find_package(benchmark REQUIRED)

add_executable(voltaro_logfile_benchmark ${CMAKE_CURRENT_LIST_DIR}/LogFileBenchmark.cpp)
target_link_libraries(voltaro_logfile_benchmark PRIVATE voltaro_platform benchmark::benchmark)
