#include "Console.h"

#include <gtest/gtest.h>

#include <regex>
#include <unistd.h>

namespace voltaro {
namespace {

TEST(ConsoleTest, LineCarriesTimestampProgramAndPid) {
    const std::string line = formatConsoleLine("Fatal error: Cannot create NSTimer instance!");
    const std::regex shape(R"(\d{4}-\d{2}-\d{2} \d{2}:\d{2}:\d{2}\.\d{3} Voltaro\[(\d+)\] (.*)\n)");
    std::smatch match;
    ASSERT_TRUE(std::regex_match(line, match, shape)) << line;
    EXPECT_EQ(std::stol(match[1]), static_cast<long>(getpid()));
    EXPECT_EQ(match[2], "Fatal error: Cannot create NSTimer instance!");
}

} // namespace
} // namespace voltaro
