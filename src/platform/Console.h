#pragma once

#include <string>
#include <string_view>

namespace voltaro {

// "YYYY-MM-DD hh:mm:ss.mmm Voltaro[pid] message": one diagnostic line as written to stderr.
std::string formatConsoleLine(std::string_view message);
// Writes one diagnostic line to standard error.
void writeConsoleLine(std::string_view message);

} // namespace voltaro
