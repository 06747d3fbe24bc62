// How pure code gets its user-visible texts without a Windows header: the
// caller hands in the lookup. Programs pass hv::LoadText (their own string
// table); host tests pass a table generated from the same resource scripts.
#pragma once

#include <string>

namespace hv {

using TextFn = std::wstring (*)(unsigned id);

// `format` with its first "%s" replaced by `value` (a null value by nothing).
std::wstring ReplacePlaceholder(std::wstring format, const wchar_t* value);

}  // namespace hv
