// The windows the main window made from its layout table: one slot per row,
// at the row's position (its control ID less kFirstControlId), empty for a
// row whose control is not made (yet) and for the lines, which are drawn.
// Windows only; the slots hold handles, not ownership: the windows go with
// their parents.
#pragma once

#include <windows.h>

#include <vector>

#include "app/layout.h"

struct ChildWindow {
    HWND hwnd = nullptr;
    const layout::Control* spec = nullptr;  // its row; nullptr while empty
};

class ChildWindows {
public:
    ChildWindows() : slots_(layout::Controls().size()) {}

    // Fills (or, with nullptr, empties) the slot of a row of the table.
    void Set(const layout::Control& row, HWND hwnd) { slots_[layout::RowOf(row)] = {hwnd, hwnd ? &row : nullptr}; }
    // The control made from a row of the table; nullptr while there is none.
    HWND Of(const layout::Control& row) const { return slots_[layout::RowOf(row)].hwnd; }
    // The control that is `hwnd`, or nullptr for any other window.
    const ChildWindow* Find(HWND hwnd) const {
        for (const ChildWindow& slot : slots_)
            if (hwnd && slot.hwnd == hwnd) return &slot;
        return nullptr;
    }
    // Every slot, empty ones included.
    const std::vector<ChildWindow>& all() const { return slots_; }

private:
    std::vector<ChildWindow> slots_;
};
