#include "editor.h"

#include "cfwHook.h"
#include "resource.h"

EditorState g_editor;

int EditorMessageBox(HWND owner, unsigned textId, UINT style)
{
    return CFWHL_MessageBoxW(owner, hv::LoadText(textId).c_str(), hv::LoadText(IDS_TITLE).c_str(), style);
}
