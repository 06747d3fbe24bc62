// The backup tool's string table for code that runs without its resources
// (the logic tests): generated at build time from the same resource scripts.
#pragma once

#include <string>

namespace backup_test {
std::wstring RcText(unsigned id);
}
