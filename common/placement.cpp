#include "placement.h"

namespace hv {

bool OuterSizeFor(const Rect& window, const Size& client, const Size* refClient, int cx, int cy, Size* outer)
{
    if (!refClient) {
        if (cx <= 0 || cy <= 0)
            return false;
        outer->cx = cx + (window.Width() - client.cx);
        outer->cy = cy + (window.Height() - client.cy);
        return true;
    }
    outer->cx = (cx > 0 ? cx : window.Width()) + (refClient->cx - client.cx);
    outer->cy = (cy > 0 ? cy : window.Height()) + (refClient->cy - client.cy);
    return true;
}

Point CenterOn(const Rect& desktop, const Size& outer)
{
    return {(desktop.right - outer.cx) / 2, (desktop.bottom - outer.cy) / 2};
}

Point CenterDialogOver(const Rect& work, const Rect& owner, const Rect& dialog)
{
    Point p;
    p.x = dialog.left < 0 ? 0 : owner.left + (owner.Width() - dialog.Width()) / 2;
    p.y = dialog.top < 0 ? 0 : owner.top + (owner.Height() - dialog.Height()) / 2;
    // Judged on where the dialog is now, before the move.
    if (dialog.right > work.right)
        p.x = work.right - dialog.Width();
    if (dialog.bottom > work.bottom)
        p.y = work.bottom - dialog.Height();
    if (p.x < 0)
        p.x = 0;
    if (p.y < 0)
        p.y = 0;
    return p;
}

}  // namespace hv
