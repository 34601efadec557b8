// The log file with a long log (150,000 lines, about 10 MB): reading it at launch and the
// safe save at quit (temporary file, flushed to disk, renamed over the old one).
#include "PosixFileSystem.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

std::string longLog() {
    std::string log;
    for (int i = 0; i < 150000; ++i)
        log += "2026-12-11 05:56:03: Battery started charging (current charge = " + std::to_string(i % 100) + "%)\r";
    return log;
}

struct Folder {
    Folder() {
        char pattern[] = "/tmp/voltaro-logfile-bench-XXXXXX";
        path = ::mkdtemp(pattern);
    }
    ~Folder() { std::system(("rm -rf '" + path + "'").c_str()); }
    std::string path;
};

void BM_ReadLogFile(benchmark::State& state) {
    Folder folder;
    voltaro::PosixFileSystem fileSystem;
    const std::string file = folder.path + "/Voltaro.log";
    const std::string log = longLog();
    fileSystem.writeFileAtomically(file, log);
    for (auto _ : state)
        benchmark::DoNotOptimize(fileSystem.contentsOfFile(file));
    state.counters["MB"] = double(log.size()) / 1e6;
}
BENCHMARK(BM_ReadLogFile)->Unit(benchmark::kMillisecond)->Iterations(20);

void BM_SaveLogFile(benchmark::State& state) {
    Folder folder;
    voltaro::PosixFileSystem fileSystem;
    const std::string file = folder.path + "/Voltaro.log";
    const std::string log = longLog();
    for (auto _ : state) {
        if (!fileSystem.writeFileAtomically(file, log))
            state.SkipWithError("save failed");
    }
    state.counters["MB"] = double(log.size()) / 1e6;
}
BENCHMARK(BM_SaveLogFile)->Unit(benchmark::kMillisecond)->Iterations(20);

} // namespace

BENCHMARK_MAIN();
