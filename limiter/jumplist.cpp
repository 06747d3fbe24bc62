// The taskbar jump list: six tasks in two separated blocks that start the
// limiter again with one of its switches (the running copy takes the command
// over) or start the settings utility. Built once at start, deleted at the
// normal end; where the platform has no jump list every step fails quietly.
#include <windows.h>
#include <objbase.h>
#include <propsys.h>
#include <shobjidl.h>

#include <iterator>
#include <string>

#include "hvShared.h"
#include "jumplist.h"
#include "limiter.h"
#include "names.h"
#include "resource.h"

namespace {

// The platform's published identifiers, spelled out so that nothing depends
// on which of them the import libraries happen to carry.
const CLSID kClsidDestinationList = {0x77F10CF0, 0x3DB5, 0x4966, {0xB5, 0x20, 0xB7, 0xC5, 0x4F, 0xD3, 0x5E, 0xD6}};
const CLSID kClsidObjectCollection = {0x2D3468C1, 0x36A7, 0x43B6, {0xAC, 0x24, 0xD3, 0xF0, 0x2F, 0xD9, 0x60, 0x7A}};
const CLSID kClsidShellLink = {0x00021401, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
const IID kIidCustomDestinationList = {0x6332DEBF, 0x87B5, 0x4670, {0x90, 0xC0, 0x5E, 0x57, 0xB4, 0x08, 0xA4, 0x9E}};
const IID kIidObjectCollection = {0x5632B1A4, 0xE38A, 0x400A, {0x92, 0x8A, 0xD4, 0xCD, 0x63, 0x23, 0x02, 0x95}};
const IID kIidObjectArray = {0x92CA9DCD, 0x5622, 0x4BBA, {0xA8, 0x05, 0x5E, 0x9F, 0x54, 0x1B, 0xD8, 0xC9}};
const IID kIidShellLinkW = {0x000214F9, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
const IID kIidPropertyStore = {0x886D8EEB, 0x8CF2, 0x4446, {0x8D, 0x02, 0xCD, 0xBA, 0x1D, 0xBD, 0xCF, 0x99}};
const PROPERTYKEY kKeyTitle = {{0xF29F85E0, 0x4FF9, 0x1068, {0xAB, 0x91, 0x08, 0x00, 0x2B, 0x27, 0xB3, 0xD9}}, 2};
const PROPERTYKEY kKeySeparator = {{0x9F4C2855, 0x9F79, 0x4B39, {0xA8, 0xD0, 0xE1, 0xD4, 0x2D, 0xE1, 0xD5, 0xF3}},
                                   6};

// Owns one interface pointer.
template <typename T>
class Com {
public:
    Com() = default;
    ~Com() { reset(); }
    Com(const Com&) = delete;
    Com& operator=(const Com&) = delete;
    T* operator->() const { return p_; }
    T* get() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    void** put()
    {
        reset();
        return reinterpret_cast<void**>(&p_);
    }
    void reset()
    {
        if (p_)
            p_->Release();
        p_ = nullptr;
    }

private:
    T* p_ = nullptr;
};

enum class Program { None, Self, Editor };
enum class IconFile { Self, Editor, User32, Shell32 };

struct Entry {
    unsigned title;  // string id; 0 for a separator
    Program program;
    const wchar_t* arguments;
    IconFile icon;
    int iconIndex;
};

const Entry kEntries[] = {
    {IDS_JUMP_MONITOR, Program::Self, L"/Monitor", IconFile::Self, 0},
    {IDS_JUMP_USERINFO, Program::Self, L"/UseInfo", IconFile::User32, 4},
    {0, Program::None, nullptr, IconFile::Self, 0},
    {IDS_JUMP_EDITOR, Program::Editor, L"", IconFile::Editor, 0},
    {IDS_JUMP_APPLY, Program::Self, L"/Apply", IconFile::Shell32, 144},
    {0, Program::None, nullptr, IconFile::Self, 0},
    {IDS_JUMP_HELP, Program::Self, L"/Help", IconFile::User32, 2},
    {IDS_JUMP_ABOUT, Program::Self, L"/About", IconFile::Shell32, 2},
};

struct Paths {
    std::wstring self, editor, user32, shell32;
    const std::wstring& Of(Program p) const { return p == Program::Editor ? editor : self; }
    const std::wstring& Of(IconFile f) const
    {
        switch (f) {
        case IconFile::Editor:
            return editor;
        case IconFile::User32:
            return user32;
        case IconFile::Shell32:
            return shell32;
        default:
            return self;
        }
    }
};

// Full paths only: the program's own file and the settings utility beside
// it, the system libraries from the system folder.
bool MakePaths(Paths& p)
{
    p.self = hv::ProgramPath();
    p.editor = hv::SiblingPath(hv::names::kEditorFile);
    if (p.self.empty() || p.self.size() >= MAX_PATH || p.editor.empty())
        return false;
    wchar_t system[MAX_PATH];
    const UINT s = GetSystemDirectoryW(system, MAX_PATH);
    if (s == 0 || s >= MAX_PATH)
        return false;
    p.user32 = std::wstring(system, s) + L"\\User32.dll";
    p.shell32 = std::wstring(system, s) + L"\\Shell32.dll";
    return true;
}

bool SetProperty(IPropertyStore* store, const PROPERTYKEY& key, const PROPVARIANT& value)
{
    return SUCCEEDED(store->SetValue(key, value)) && SUCCEEDED(store->Commit());
}

// One link of the table, handed to the collection.
bool AddEntry(IObjectCollection* collection, const Entry& e, const Paths& paths)
{
    Com<IShellLinkW> link;
    if (FAILED(CoCreateInstance(kClsidShellLink, nullptr, CLSCTX_INPROC_SERVER, kIidShellLinkW, link.put())))
        return false;
    PROPVARIANT value{};
    if (e.title) {
        if (FAILED(link->SetPath(paths.Of(e.program).c_str())) || FAILED(link->SetArguments(e.arguments)))
            return false;
        Com<IPropertyStore> store;
        if (FAILED(link->QueryInterface(kIidPropertyStore, store.put())))
            return false;
        value.vt = VT_LPWSTR;
        std::wstring title = hv::LoadText(e.title);
        value.pwszVal = title.data();
        if (FAILED(store->SetValue(kKeyTitle, value)) ||
            FAILED(link->SetIconLocation(paths.Of(e.icon).c_str(), e.iconIndex)) || FAILED(store->Commit()))
            return false;
    } else {
        Com<IPropertyStore> store;
        if (FAILED(link->QueryInterface(kIidPropertyStore, store.put())))
            return false;
        value.vt = VT_BOOL;
        value.boolVal = VARIANT_TRUE;
        if (!SetProperty(store.get(), kKeySeparator, value))
            return false;
    }
    return SUCCEEDED(collection->AddObject(link.get()));
}

}  // namespace

bool AddJumpListTasks(IObjectCollection* collection)
{
    Paths paths;
    if (!MakePaths(paths))
        return false;
    for (const Entry& e : kEntries) {
        if (!AddEntry(collection, e, paths))
            return false;
    }
    return true;
}

void BuildJumpList()
{
    Com<ICustomDestinationList> list;
    if (FAILED(CoCreateInstance(kClsidDestinationList, nullptr, CLSCTX_INPROC_SERVER, kIidCustomDestinationList,
                                list.put())))
        return;
    UINT minSlots = 0;
    Com<IObjectArray> removed;
    if (FAILED(list->BeginList(&minSlots, kIidObjectArray, removed.put())))
        return;
    Com<IObjectCollection> collection;
    if (FAILED(CoCreateInstance(kClsidObjectCollection, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER,
                                kIidObjectCollection, collection.put()))) {
        // A begun list is abandoned rather than left half open.
        list->AbortList();
        return;
    }
    if (AddJumpListTasks(collection.get())) {
        Com<IObjectArray> tasks;
        if (SUCCEEDED(collection->QueryInterface(kIidObjectArray, tasks.put())))
            list->AddUserTasks(tasks.get());
    }
    collection.reset();
    list->CommitList();
}

void ClearJumpList()
{
    Com<ICustomDestinationList> list;
    if (FAILED(CoCreateInstance(kClsidDestinationList, nullptr, CLSCTX_INPROC_SERVER, kIidCustomDestinationList,
                                list.put())))
        return;
    list->DeleteList(nullptr);
}
