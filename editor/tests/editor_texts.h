// The utility's string table for code that runs without its resources (the
// logic tests): generated at build time from the same resource scripts.
#pragma once

#include <string>

namespace editor {
std::wstring RcText(unsigned id);
}
