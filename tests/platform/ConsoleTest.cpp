#include "Console.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <unistd.h>

namespace voltaro {
namespace {

// Whether `text` matches `shape`, where '9' stands for any digit and every other character
// for itself.
bool hasShape(const std::string& text, const std::string& shape) {
    if (text.size() != shape.size())
        return false;
    for (std::size_t i = 0; i < shape.size(); ++i) {
        const bool ok = shape[i] == '9' ? std::isdigit(static_cast<unsigned char>(text[i])) != 0 : text[i] == shape[i];
        if (!ok)
            return false;
    }
    return true;
}

TEST(ConsoleTest, LineCarriesTimestampProgramAndPid) {
    const std::string message = "Fatal error: Cannot create NSTimer instance!";
    const std::string line = formatConsoleLine(message);
    const std::string stamp = "9999-99-99 99:99:99.999 ";
    ASSERT_GT(line.size(), stamp.size());
    EXPECT_TRUE(hasShape(line.substr(0, stamp.size()), stamp)) << line;
    EXPECT_EQ(line.substr(stamp.size()),
              "Voltaro[" + std::to_string(static_cast<long>(getpid())) + "] " + message + "\n");
}

} // namespace
} // namespace voltaro
