// Dialog template 101: what the panel's construction relies on (every item inside the dialog,
// distinct identifiers, styles consistent per kind) and the dialog-unit conversion.
#include "res/DialogTemplate.h"

#include <gtest/gtest.h>

#include <set>
#include <tuple>

using namespace corvane::res;
using namespace corvane::res::style;

TEST(DialogTemplate, ItemsFitHaveDistinctIdsAndConsistentStyles)
{
    const DialogTemplate& dlg = PanelTemplate();
    std::set<int> ids;
    for (const DialogItem& item : dlg.items) {
        SCOPED_TRACE(item.id);
        EXPECT_TRUE(item.id == kNoId || ids.insert(item.id).second) << "duplicate";
        EXPECT_EQ(item.style & (WS_CHILD | WS_VISIBLE), WS_CHILD | WS_VISIBLE);
        EXPECT_EQ(item.disabled, (item.style & WS_DISABLED) != 0);
        EXPECT_LE(item.x + item.cx, dlg.cx);
        EXPECT_LE(item.y + item.cy, dlg.cy);
        if (item.kind == ItemKind::ComboBox) {
            EXPECT_EQ(item.style & 0x3u, CBS_DROPDOWN); // editable, not a drop-down list
        } else if (item.kind == ItemKind::Static) {
            EXPECT_EQ(item.style & WS_TABSTOP, 0u);
        } else if (item.kind == ItemKind::Edit) {
            EXPECT_TRUE(item.style & ES_READONLY);
        } else if (item.kind == ItemKind::GroupBox) {
            EXPECT_EQ(item.id, kNoId);
        }
    }
    // The info box's multi-line, read-only edit is checked on the panel (the trackbar test).
    EXPECT_EQ(FindItem(dlg, 4242), nullptr);
}

TEST(DialogTemplate, DialogUnitConversionRoundsHalvesUp)
{
    // x px = round(dlu * 6 / 4), y px = round(dlu * 13 / 8), halves up; rows that round down
    // as well, where a ceiling would not.
    for (auto [dlu, x, y] : {std::tuple{617, 926, 1003}, {254, 381, 413}, {1, 2, 2}, {12, 18, 20}, {0, 0, 0},
                             {153, 230, 249}, {63, 95, 102}, {75, 113, 122}}) {
        EXPECT_EQ(DluToPixelsX(dlu), x) << dlu;
        EXPECT_EQ(DluToPixelsY(dlu), y) << dlu;
    }
}
