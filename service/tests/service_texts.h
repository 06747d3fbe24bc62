// The service program's string table for the tests, generated at build time
// from its resource scripts.
#pragma once

#include <string>

namespace svc {
std::wstring RcText(unsigned id);
}
