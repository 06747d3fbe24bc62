// The program's own executable, its folder and the programs beside it.
#include "hvShared.h"

#include <vector>

namespace hv {
namespace {

std::wstring QueryModuleFileName()
{
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0)
            return std::wstring();
        if (n < buffer.size())
            return std::wstring(buffer.data(), n);
        if (buffer.size() >= 32768)
            return std::wstring();
        buffer.resize(buffer.size() * 2);
    }
}

}  // namespace

const std::wstring& ProgramPath()
{
    static const std::wstring path = QueryModuleFileName();
    return path;
}

const std::wstring& ProgramFolder()
{
    static const std::wstring folder = FolderOfPath(ProgramPath());
    return folder;
}

std::wstring SiblingPath(const wchar_t* file) { return PathInFolder(ProgramFolder(), file); }

}  // namespace hv
