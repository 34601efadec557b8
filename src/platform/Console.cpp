#include "Console.h"

#include <chrono>
#include <cstdio>
#include <ctime>
#include <unistd.h>

namespace voltaro {

std::string formatConsoleLine(std::string_view message) {
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    const auto milliseconds =
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
    std::tm local{};
    localtime_r(&seconds, &local);
    char stamp[64];
    std::size_t length = std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", &local);
    length +=
        static_cast<std::size_t>(std::snprintf(stamp + length, sizeof stamp - length, ".%03d Voltaro[%ld] ",
                                               static_cast<int>(milliseconds), static_cast<long>(getpid())));
    std::string line(stamp, length);
    line += message;
    line += '\n';
    return line;
}

void writeConsoleLine(std::string_view message) {
    const std::string line = formatConsoleLine(message);
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fflush(stderr);
}

} // namespace voltaro
