// Geometry of window placement, kept free of Windows headers so the host
// build tests it with the sanitizers. Rectangles are in screen coordinates.
#pragma once

namespace hv {

struct Rect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
};

struct Size {
    int cx = 0, cy = 0;
};

struct Point {
    int x = 0, y = 0;
};

// The outer size that gives a window the requested size. Without a reference
// client size, cx and cy are the wanted client size and must be positive.
// With one, cx and cy are an outer size (0 or less keeps the current outer
// size) corrected by the difference between the reference's client area and
// the window's own. False when the arguments are refused.
bool OuterSizeFor(const Rect& window, const Size& client, const Size* refClient, int cx, int cy, Size* outer);

// Top-left corner that centres `outer` on the desktop rectangle (truncating
// divisions, so an oversized window may start at a negative position).
Point CenterOn(const Rect& desktop, const Size& outer);

// Top-left corner for a dialog centred over its owner, pulled back inside the
// work area's right and bottom edges and never negative. A dialog that starts
// left of or above the screen goes to 0 on that axis.
Point CenterDialogOver(const Rect& work, const Rect& owner, const Rect& dialog);

}  // namespace hv
