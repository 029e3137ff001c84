// Control IDs of the main window's children: kFirstControlId plus the
// control's position in the layout table, so tools can name them.
#pragma once

constexpr int kFirstControlId = 1000;
