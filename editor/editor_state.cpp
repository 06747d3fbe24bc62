#include "editor.h"

#include "cfwHook.h"
#include "resource.h"

EditorState g_editor;

int EditorMessageBox(HWND owner, unsigned textId, UINT style)
{
    return CFWHL_MessageBoxW(owner, hv::LoadText(textId).c_str(), hv::LoadText(IDS_TITLE).c_str(), style);
}

int CaptionedBox(HWND owner, const std::wstring& text, unsigned captionId, UINT style)
{
    return CFWHL_MessageBoxW(owner, text.c_str(), hv::LoadText(captionId).c_str(), style);
}

int CaptionedBox(HWND owner, unsigned textId, unsigned captionId, UINT style)
{
    return CaptionedBox(owner, hv::LoadText(textId), captionId, style);
}

int WriteOptionRecord(const OptionData& options)
{
    const int written = WriteOptionDataW(&options);
    if (written == 1)
        hv::RecordComputerZone();
    return written;
}

std::wstring PasswordFieldText(HWND dialog, int id)
{
    wchar_t text[hv::kPasswordMaxChars + 1] = {};
    GetDlgItemTextW(dialog, id, text, ARRAYSIZE(text));
    return text;
}
