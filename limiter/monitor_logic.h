// Decisions of the monitor window that need no window: the texts of its
// columns and status bar, the list image of a remainder, the menu-help texts,
// the layout, the name order and how the list is brought into step with the
// registered accounts. No Windows header, so the host build tests it too.
#pragma once

#include <stdint.h>

#include <string>
#include <vector>

#include "evaluation.h"
#include "text_source.h"

namespace monitor {

// Positions in the list's image list (icons 103 to 106).
enum ListImage { IMAGE_NOLIMIT = 0, IMAGE_PLENTY = 1, IMAGE_LITTLE = 2, IMAGE_OUT = 3 };

// Image of a remainder: -1 no limit, 0 out of time, up to 300 little left.
// The count below -1 that a switch into the timer mode can leave counts as
// no limit, as the tray shows no time for it either.
ListImage ImageFor(int32_t seconds);

// Column 2: the name of the low 16 bits of LimitMode; a value this program
// does not know is named as such, with its number, so that a parent can
// report it.
std::wstring ModeText(uint32_t limitMode, hv::TextFn text);

// Column 3: "無制限", "時間外" or h:mm:ss (hours not capped).
std::wstring RemainText(int32_t seconds, hv::TextFn text);

// Column 1 from the account query: its full name, "(未設定)" when that is
// empty, "(取得失敗)" when the account could not be queried.
std::wstring FullNameText(bool queried, const std::wstring& fullName, hv::TextFn text);

// Status bar: the clock of part 1 and the "as of" text of part 0.
std::wstring ClockText(const limiter::LocalTime& t);
std::wstring AsOfText(const limiter::LocalTime& t, hv::TextFn text);

// String id of the status bar's text while a menu item is highlighted, or 0
// for none (the text is then empty).
unsigned MenuHelp(unsigned commandId);

// Order of the list: column 0 with ASCII letters folded; names equal but for
// case keep a fixed order among themselves.
int CompareNames(const std::wstring& a, const std::wstring& b);

struct Rect {
    int x, y, width, height;
};
struct Layout {
    Rect list;
    Rect button;  // meaningful only while the button is shown
    int statusParts[2];  // right edges of the status bar's parts (-1 = to the end)
};
constexpr int kStatusClockWidth = 192;
Layout ComputeLayout(int clientWidth, int clientHeight, int statusHeight, bool allUsers);

// How one refresh brings the list into step with the registry. `items` are
// the names in the list now (column 0, by index); `registered` the sub-keys
// of Users, or null when that key could not be opened. One pass over each:
// the cost grows with the number of accounts, not with its square.
struct SyncPlan {
    // Per registered name, in order: the index of its item, -1 to append it
    // (appended items follow the existing ones in this order), or -2 for a
    // repeat of a name already handled.
    std::vector<int> registeredItem;
    // Items whose account is no longer registered, highest index first, to
    // be deleted after the appends.
    std::vector<int> deletions;
    // Index of the current account's item once the appends and deletions are
    // done, or -1 to append it last.
    int currentItem = -1;
};
// Registered names are matched exactly; repeated names (which a registry
// cannot hold) are kept once. The current account's own row stays even when
// it has no key of its own.
SyncPlan PlanSync(const std::vector<std::wstring>& items, const std::vector<std::wstring>* registered,
                  const std::wstring& current);

}  // namespace monitor
