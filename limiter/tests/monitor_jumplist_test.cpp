// The jump list's tasks as the platform's shell links carry them: order,
// programs by full path, switches, icons, titles and separators (where the
// links keep properties), and that a failing step ends the list there. Wine has no object collection of its
// own, so the test hands the links to a small recording one.
#include <windows.h>
#include <objbase.h>
#include <propsys.h>
#include <shobjidl.h>

#include <gtest/gtest.h>

#include <stdio.h>

#include <string>
#include <vector>

#include "jumplist.h"
#include "names.h"

namespace {

const PROPERTYKEY kKeyTitle = {{0xF29F85E0, 0x4FF9, 0x1068, {0xAB, 0x91, 0x08, 0x00, 0x2B, 0x27, 0xB3, 0xD9}}, 2};
const PROPERTYKEY kKeySeparator = {{0x9F4C2855, 0x9F79, 0x4B39, {0xA8, 0xD0, 0xE1, 0xD4, 0x2D, 0xE1, 0xD5, 0xF3}},
                                   6};

// Keeps what it is given; refuses AddObject once `limit` objects are held.
class RecordingCollection : public IObjectCollection {
public:
    explicit RecordingCollection(size_t limit = 100) : limit_(limit) {}
    ~RecordingCollection()
    {
        for (IUnknown* o : objects)
            o->Release();
    }
    std::vector<IUnknown*> objects;
    int refusals = 0;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        if (iid == IID_IUnknown || iid == IID_IObjectArray || iid == IID_IObjectCollection) {
            *out = static_cast<IObjectCollection*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }  // lives on the test's stack
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE GetCount(UINT* n) override
    {
        *n = static_cast<UINT>(objects.size());
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetAt(UINT i, REFIID iid, void** out) override
    {
        return i < objects.size() ? objects[i]->QueryInterface(iid, out) : E_INVALIDARG;
    }
    HRESULT STDMETHODCALLTYPE AddObject(IUnknown* o) override
    {
        if (objects.size() >= limit_) {
            ++refusals;
            return E_FAIL;
        }
        o->AddRef();
        objects.push_back(o);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE AddFromArray(IObjectArray*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE RemoveObjectAt(UINT) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Clear() override { return E_NOTIMPL; }

private:
    size_t limit_;
};

struct Link {
    std::wstring path, arguments, iconFile, title;
    int iconIndex = -1;
    bool separator = false;
};

Link Read(IUnknown* object)
{
    Link l;
    IShellLinkW* link = nullptr;
    if (FAILED(object->QueryInterface(IID_IShellLinkW, reinterpret_cast<void**>(&link))))
        return l;
    wchar_t text[MAX_PATH * 2] = {};
    if (SUCCEEDED(link->GetPath(text, MAX_PATH * 2, nullptr, 0)))
        l.path = text;
    text[0] = 0;
    if (SUCCEEDED(link->GetArguments(text, MAX_PATH * 2)))
        l.arguments = text;
    text[0] = 0;
    if (SUCCEEDED(link->GetIconLocation(text, MAX_PATH * 2, &l.iconIndex)))
        l.iconFile = text;
    IPropertyStore* store = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPropertyStore, reinterpret_cast<void**>(&store)))) {
        PROPVARIANT v;
        PropVariantInit(&v);
        if (SUCCEEDED(store->GetValue(kKeyTitle, &v)) && v.vt == VT_LPWSTR)
            l.title = v.pwszVal;
        PropVariantClear(&v);
        if (SUCCEEDED(store->GetValue(kKeySeparator, &v)) && v.vt == VT_BOOL)
            l.separator = v.boolVal == VARIANT_TRUE;
        PropVariantClear(&v);
        store->Release();
    }
    link->Release();
    return l;
}

std::wstring Lower(std::wstring s)
{
    for (auto& c : s)
        c = towlower(c);
    return s;
}

class JumpListTasks : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))); }
    void TearDown() override { CoUninitialize(); }
};

}  // namespace

TEST_F(JumpListTasks, SixTasksInTwoSeparatedBlocks)
{
    RecordingCollection collection;
    ASSERT_TRUE(AddJumpListTasks(&collection));
    ASSERT_EQ(collection.objects.size(), 8u);

    wchar_t self[MAX_PATH], system[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    GetSystemDirectoryW(system, MAX_PATH);
    std::wstring folder(self);
    folder.resize(folder.find_last_of(L'\\') + 1);
    const std::wstring editor = folder + hv::names::kEditorFile;
    const std::wstring user32 = std::wstring(system) + L"\\User32.dll";
    const std::wstring shell32 = std::wstring(system) + L"\\Shell32.dll";

    struct Expect {
        const wchar_t* title;  // null: separator
        std::wstring path, arguments, icon;
        int index;
    } expected[] = {
        {L"ユーザー モニタを表示する", self, L"/Monitor", self, 0},
        {L"ユーザー情報を表示する", self, L"/UseInfo", user32, 4},
        {nullptr, L"", L"", L"", 0},
        {L"設定ユーティリティの起動", editor, L"", editor, 0},
        {L"設定を反映させる", self, L"/Apply", shell32, 144},
        {nullptr, L"", L"", L"", 0},
        {L"ヘルプを表示する", self, L"/Help", user32, 2},
        {L"現在のバージョンを確認する", self, L"/About", shell32, 2},
    };
    const bool propertiesKept = !Read(collection.objects[0]).title.empty();
    if (!propertiesKept)
        printf("the platform's shell links keep no properties: titles and separators not checked\n");
    for (size_t i = 0; i < std::size(expected); ++i) {
        SCOPED_TRACE(testing::Message() << "entry " << i + 1);
        const Link l = Read(collection.objects[i]);
        const Expect& e = expected[i];
        // Wine's shell link accepts properties but gives none back; where
        // they come back, they must be the right ones.
        if (propertiesKept) {
            EXPECT_EQ(l.separator, e.title == nullptr);
            EXPECT_EQ(l.title, e.title ? e.title : L"");
        }
        if (!e.title) {
            EXPECT_TRUE(l.path.empty());
            EXPECT_TRUE(l.arguments.empty());
            continue;
        }
        EXPECT_EQ(Lower(l.path), Lower(e.path));
        EXPECT_EQ(l.arguments, e.arguments);
        EXPECT_EQ(Lower(l.iconFile), Lower(e.icon));
        EXPECT_EQ(l.iconIndex, e.index);
    }
}

TEST_F(JumpListTasks, FailingStepEndsTheList)
{
    RecordingCollection collection(3);
    EXPECT_FALSE(AddJumpListTasks(&collection));
    EXPECT_EQ(collection.objects.size(), 3u);
    EXPECT_EQ(collection.refusals, 1) << "nothing is tried after the first failure";
}
