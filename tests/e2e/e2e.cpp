#include "e2e.h"

#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <ctime>
#include <thread>

namespace e2e {
namespace {

std::wstring ModuleDir()
{
    wchar_t path[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring s(path, n);
    return s.substr(0, s.find_last_of(L'\\'));
}

std::wstring EnvVar(const wchar_t* name)
{
    wchar_t buf[1024];
    DWORD n = GetEnvironmentVariableW(name, buf, 1024);
    return n && n < 1024 ? std::wstring(buf, n) : std::wstring();
}

struct FindCtx {
    const wchar_t* cls;
    const wchar_t* title;
    DWORD pid;
    std::vector<HWND>* out;
};

BOOL CALLBACK CollectTopLevel(HWND w, LPARAM lp)
{
    auto* c = reinterpret_cast<FindCtx*>(lp);
    if (c->pid) {
        DWORD pid = 0;
        GetWindowThreadProcessId(w, &pid);
        if (pid != c->pid)
            return TRUE;
    }
    if (c->cls && ClassName(w) != c->cls)
        return TRUE;
    if (c->title && Text(w) != c->title)
        return TRUE;
    c->out->push_back(w);
    return TRUE;
}

BOOL CALLBACK CollectButtons(HWND w, LPARAM lp)
{
    auto* info = reinterpret_cast<MessageBoxInfo*>(lp);
    if (_wcsicmp(ClassName(w).c_str(), L"Button") == 0)
        info->buttons.emplace_back(GetDlgCtrlID(w), Text(w));
    return TRUE;
}

}  // namespace

std::wstring BinDir() { return ModuleDir() + L"\\..\\bin"; }

std::wstring ArtifactDir()
{
    std::wstring dir = EnvVar(L"HV_ARTIFACTS");
    if (dir.empty())
        dir = ModuleDir() + L"\\..\\artifacts";
    CreateDirectoryW(dir.c_str(), nullptr);
    return dir;
}

bool SetFakeClock(const std::string& when)
{
    const std::wstring file = EnvVar(L"HV_FAKETIME_FILE");
    if (file.empty()) {
        ADD_FAILURE() << "the fake clock needs hv_wine_test(... FAKE_CLOCK)";
        return false;
    }
    std::tm tm = {};
    std::sscanf(when.c_str(), "%d-%d-%d %d:%d:%d", &tm.tm_year, &tm.tm_mon, &tm.tm_mday, &tm.tm_hour, &tm.tm_min,
                &tm.tm_sec);
    tm.tm_year -= 1900;
    tm.tm_mon -= 1;
    tm.tm_isdst = -1;
    // This process runs under the current offset too: move it by the difference.
    long long current = 0;
    if (FILE* f = _wfopen(file.c_str(), L"r")) {
        if (std::fscanf(f, "%lld", &current) != 1)
            current = 0;
        fclose(f);
    }
    const long long offset =
        current + static_cast<long long>(std::mktime(&tm)) - static_cast<long long>(std::time(nullptr));
    FILE* f = _wfopen(file.c_str(), L"w");
    if (!f)
        return false;
    fprintf(f, "%+lld\n", offset);
    fclose(f);
    // This process's own cache of the offset lasts up to a second.
    Sleep(1100);
    return true;
}

Env FakeClockAt(const std::string& when)
{
    SetFakeClock(when);
    return {};
}

Process::~Process()
{
    if (h_)
        CloseHandle(h_);
}

Process::Process(Process&& o) noexcept : h_(o.h_), pid_(o.pid_)
{
    o.h_ = nullptr;
    o.pid_ = 0;
}

Process& Process::operator=(Process&& o) noexcept
{
    if (this != &o) {
        if (h_)
            CloseHandle(h_);
        h_ = o.h_;
        pid_ = o.pid_;
        o.h_ = nullptr;
        o.pid_ = 0;
    }
    return *this;
}

bool Process::Running() const { return h_ && WaitForSingleObject(h_, 0) == WAIT_TIMEOUT; }

std::optional<DWORD> Process::Wait(DWORD ms)
{
    if (!h_ || WaitForSingleObject(h_, ms) != WAIT_OBJECT_0)
        return std::nullopt;
    DWORD code = 0;
    GetExitCodeProcess(h_, &code);
    return code;
}

void Process::Kill()
{
    if (Running()) {
        TerminateProcess(h_, 99);
        WaitForSingleObject(h_, 5000);
    }
}

Process Start(const std::wstring& program, const std::wstring& args, const Env& env)
{
    const std::wstring path = program.find(L'\\') != std::wstring::npos ? program : BinDir() + L"\\" + program;
    std::wstring cmd = L"\"" + path + L"\"";
    if (!args.empty())
        cmd += L" " + args;

    // The child's environment: ours with `env` laid over it.
    std::vector<wchar_t> block;
    if (!env.empty()) {
        Env merged;
        if (wchar_t* strings = GetEnvironmentStringsW()) {
            for (const wchar_t* p = strings; *p; p += wcslen(p) + 1) {
                std::wstring kv(p);
                const size_t eq = kv.find(L'=', 1);
                if (eq != std::wstring::npos)
                    merged[kv.substr(0, eq)] = kv.substr(eq + 1);
            }
            FreeEnvironmentStringsW(strings);
        }
        for (const auto& [k, v] : env)
            merged[k] = v;
        for (const auto& [k, v] : merged) {
            std::wstring kv = k + L"=" + v;
            block.insert(block.end(), kv.begin(), kv.end());
            block.push_back(0);
        }
        block.push_back(0);
    }

    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    std::vector<wchar_t> cmdline(cmd.begin(), cmd.end());
    cmdline.push_back(0);
    const std::wstring dir = BinDir();
    if (!CreateProcessW(path.c_str(), cmdline.data(), nullptr, nullptr, FALSE, CREATE_UNICODE_ENVIRONMENT,
                        block.empty() ? nullptr : block.data(), dir.c_str(), &si, &pi))
        return Process();
    CloseHandle(pi.hThread);
    return Process(pi.hProcess, pi.dwProcessId);
}

std::vector<DWORD> Pids(const std::wstring& exe)
{
    std::vector<DWORD> pids;
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snap == INVALID_HANDLE_VALUE)
        return pids;
    PROCESSENTRY32W pe = {};
    pe.dwSize = sizeof(pe);
    for (BOOL ok = Process32FirstW(snap, &pe); ok; ok = Process32NextW(snap, &pe))
        if (_wcsicmp(pe.szExeFile, exe.c_str()) == 0)
            pids.push_back(pe.th32ProcessID);
    CloseHandle(snap);
    return pids;
}

void KillAll(const std::wstring& exe)
{
    for (int round = 0; round < 50; ++round) {
        auto pids = Pids(exe);
        if (pids.empty())
            return;
        for (DWORD pid : pids) {
            if (HANDLE h = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid)) {
                TerminateProcess(h, 99);
                WaitForSingleObject(h, 2000);
                CloseHandle(h);
            }
        }
    }
}

bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout)
{
    const auto end = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        if (done())
            return true;
        if (std::chrono::steady_clock::now() >= end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

namespace {

std::string Narrow(const wchar_t* text)
{
    if (!text)
        return "(any)";
    const int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string out(n > 0 ? n - 1 : 0, '\0');
    if (n > 1)
        WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), n, nullptr, nullptr);
    return out;
}

}  // namespace

bool Await(const std::string& what, const std::function<bool()>& done, std::chrono::milliseconds timeout,
           const char* file, int line)
{
    if (WaitUntil(done, timeout))
        return true;
    ADD_FAILURE_AT(file, line) << "waited " << timeout.count() << " ms for " << what << ", in vain";
    return false;
}

std::vector<HWND> FindWindows(const wchar_t* cls, const wchar_t* title, DWORD pid)
{
    std::vector<HWND> out;
    FindCtx ctx = {cls, title, pid, &out};
    EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&ctx));
    return out;
}

HWND WaitForWindow(const wchar_t* cls, const wchar_t* title, DWORD pid, std::chrono::milliseconds timeout)
{
    HWND found = nullptr;
    WaitUntil(
        [&] {
            auto all = FindWindows(cls, title, pid);
            found = all.empty() ? nullptr : all.front();
            return found != nullptr;
        },
        timeout);
    return found;
}

std::wstring ClassName(HWND w)
{
    wchar_t buf[256];
    int n = GetClassNameW(w, buf, 256);
    return std::wstring(buf, n > 0 ? n : 0);
}

std::wstring Text(HWND w)
{
    // Through the message, with a time limit: the window may belong to a busy process.
    DWORD_PTR len = 0;
    if (!SendMessageTimeoutW(w, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &len))
        return {};
    std::vector<wchar_t> buf(len + 1);
    DWORD_PTR got = 0;
    SendMessageTimeoutW(w, WM_GETTEXT, buf.size(), reinterpret_cast<LPARAM>(buf.data()), SMTO_ABORTIFHUNG, 2000,
                        &got);
    return std::wstring(buf.data(), got);
}

std::wstring ControlText(HWND parent, int id) { return Text(GetDlgItem(parent, id)); }

void SetControlText(HWND parent, int id, const std::wstring& text)
{
    DWORD_PTR r;
    SendMessageTimeoutW(GetDlgItem(parent, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                        SMTO_ABORTIFHUNG, 2000, &r);
}

void Click(HWND parent, int id) { PostMessageW(GetDlgItem(parent, id), BM_CLICK, 0, 0); }

MessageBoxInfo Describe(HWND box)
{
    MessageBoxInfo info;
    info.hwnd = box;
    info.caption = Text(box);
    info.text = ControlText(box, 0xFFFF);
    EnumChildWindows(box, CollectButtons, reinterpret_cast<LPARAM>(&info));
    return info;
}

std::optional<MessageBoxInfo> FindMessageBox(DWORD pid, const wchar_t* caption)
{
    for (HWND w : FindWindows(L"#32770", caption, pid)) {
        if (!IsWindowVisible(w) || !GetDlgItem(w, 0xFFFF))
            continue;
        return Describe(w);
    }
    return std::nullopt;
}

HWND AwaitWindow(const wchar_t* cls, const wchar_t* title, DWORD pid, std::chrono::milliseconds timeout,
                 const char* file, int line)
{
    HWND found = WaitForWindow(cls, title, pid, timeout);
    if (!found)
        ADD_FAILURE_AT(file, line) << "waited " << timeout.count() << " ms for a window of class " << Narrow(cls)
                                   << " titled " << Narrow(title) << " (process " << pid << "), in vain";
    return found;
}

std::optional<MessageBoxInfo> AwaitMessageBox(DWORD pid, const wchar_t* caption, std::chrono::milliseconds timeout,
                                              const char* file, int line)
{
    auto found = WaitForMessageBox(pid, caption, timeout);
    if (!found)
        ADD_FAILURE_AT(file, line) << "waited " << timeout.count() << " ms for a message box titled "
                                   << Narrow(caption) << " (process " << pid << "), in vain";
    return found;
}

std::wstring AnswerMessageBox(DWORD pid, const wchar_t* caption, int button, std::chrono::milliseconds timeout,
                              const char* file, int line)
{
    auto box = AwaitMessageBox(pid, caption, timeout, file, line);
    if (!box)
        return L"(no box)";
    Answer(*box, button);
    return box->text;
}

std::optional<MessageBoxInfo> WaitForMessageBox(DWORD pid, const wchar_t* caption, std::chrono::milliseconds timeout)
{
    std::optional<MessageBoxInfo> found;
    WaitUntil(
        [&] {
            found = FindMessageBox(pid, caption);
            return found.has_value();
        },
        timeout);
    return found;
}

bool Answer(const MessageBoxInfo& box, int id)
{
    if (HWND button = GetDlgItem(box.hwnd, id))
        PostMessageW(button, BM_CLICK, 0, 0);
    else
        PostMessageW(box.hwnd, WM_COMMAND, id, 0);
    return WaitUntil([&] { return !IsWindow(box.hwnd); }, std::chrono::seconds(5));
}

bool Screenshot(const std::wstring& name)
{
    HDC screen = GetDC(nullptr);
    if (!screen)
        return false;
    const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    HDC mem = CreateCompatibleDC(screen);
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = h;  // bottom-up, as BMP files store it
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    bool ok = false;
    if (dib && bits) {
        HGDIOBJ old = SelectObject(mem, dib);
        BitBlt(mem, 0, 0, w, h, screen, 0, 0, SRCCOPY);
        GdiFlush();
        SelectObject(mem, old);
        const DWORD stride = ((w * 3) + 3) & ~3;
        BITMAPFILEHEADER fh = {};
        fh.bfType = 0x4D42;
        fh.bfOffBits = sizeof(fh) + sizeof(bi.bmiHeader);
        fh.bfSize = fh.bfOffBits + stride * h;
        const std::wstring path = ArtifactDir() + L"\\" + name + L".bmp";
        if (FILE* f = _wfopen(path.c_str(), L"wb")) {
            ok = fwrite(&fh, sizeof(fh), 1, f) == 1 && fwrite(&bi.bmiHeader, sizeof(bi.bmiHeader), 1, f) == 1 &&
                 fwrite(bits, stride * h, 1, f) == 1;
            fclose(f);
        }
    }
    if (dib)
        DeleteObject(dib);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    return ok;
}

void DeleteTree(HKEY root, const wchar_t* path) { RegDeleteTreeW(root, path); }

}  // namespace e2e

#include <commctrl.h>

namespace e2e {

std::vector<ListViewItem> ListViewItems(HWND list, int columns)
{
    std::vector<ListViewItem> items;
    DWORD pid = 0;
    GetWindowThreadProcessId(list, &pid);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    if (!process)
        return items;
    constexpr size_t kChars = 512;
    const size_t size = sizeof(LVITEMW) + kChars * sizeof(wchar_t);
    auto* remote = static_cast<BYTE*>(VirtualAllocEx(process, nullptr, size, MEM_COMMIT, PAGE_READWRITE));
    if (remote) {
        auto* remoteText = reinterpret_cast<wchar_t*>(remote + sizeof(LVITEMW));
        const int count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            ListViewItem item;
            for (int col = 0; col < columns; ++col) {
                LVITEMW lv{};
                lv.mask = LVIF_TEXT | (col == 0 ? LVIF_IMAGE | LVIF_GROUPID : 0);
                lv.iItem = i;
                lv.iSubItem = col;
                lv.pszText = remoteText;
                lv.cchTextMax = static_cast<int>(kChars);
                wchar_t text[kChars] = {};
                WriteProcessMemory(process, remote, &lv, sizeof lv, nullptr);
                WriteProcessMemory(process, remoteText, text, sizeof(wchar_t), nullptr);
                SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(remote));
                ReadProcessMemory(process, remote, &lv, sizeof lv, nullptr);
                ReadProcessMemory(process, remoteText, text, sizeof text, nullptr);
                text[kChars - 1] = L'\0';
                item.texts.emplace_back(text);
                if (col == 0) {
                    item.image = lv.iImage;
                    item.group = lv.iGroupId;
                }
            }
            items.push_back(std::move(item));
        }
        VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    }
    CloseHandle(process);
    return items;
}

}  // namespace e2e
