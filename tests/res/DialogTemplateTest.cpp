// Dialog template 101: item count and order, styles, positions and the dialog-unit conversion.
#include "res/DialogTemplate.h"

#include <gtest/gtest.h>

#include <set>
#include <tuple>

using namespace corvane::res;
using namespace corvane::res::style;

TEST(DialogTemplate, HeaderItemOrderAndIdentifiers)
{
    const DialogTemplate& dlg = PanelTemplate();
    EXPECT_EQ(dlg.id, 101);
    EXPECT_EQ(dlg.cx, 617);
    EXPECT_EQ(dlg.cy, 254);
    EXPECT_STREQ(dlg.fontName, "MS Sans Serif");
    EXPECT_EQ(dlg.fontPoints, 8);
    EXPECT_EQ(dlg.style, WS_CHILD | DS_SETFONT);
    ASSERT_EQ(dlg.items.size(), 80u);

    // Tab order at fixed points: the four frames (no identifier), around the knobs, last.
    for (int frame : {0, 6, 15, 31})
        EXPECT_TRUE(dlg.items[frame].kind == ItemKind::GroupBox && dlg.items[frame].id == kNoId) << frame;
    EXPECT_EQ(dlg.items[0].x, 145);
    EXPECT_EQ(dlg.items[31].x, 6);
    const std::pair<int, int> order[] = {{1, 1051}, {5, 1011}, {30, 1006}, {37, 1007}, {67, 1030}, {79, 1077}};
    for (const auto& [index, id] : order)
        EXPECT_EQ(dlg.items[index].id, id) << index;
    std::set<int> ids; // 76 distinct identifiers
    for (const DialogItem& item : dlg.items)
        if (item.id != kNoId)
            ids.insert(item.id);
    EXPECT_EQ(ids.size(), 76u);
    EXPECT_EQ(*ids.begin(), 1002);
    EXPECT_EQ(*ids.rbegin(), 1077);
}

TEST(DialogTemplate, StylesPositionsAndTexts)
{
    const DialogTemplate& dlg = PanelTemplate();
    int count[8] = {}, disabled = 0;
    for (const DialogItem& item : dlg.items) {
        SCOPED_TRACE(item.id);
        ++count[static_cast<int>(item.kind)];
        EXPECT_EQ(item.style & (WS_CHILD | WS_VISIBLE), WS_CHILD | WS_VISIBLE);
        EXPECT_EQ(item.disabled, (item.style & WS_DISABLED) != 0);
        disabled += item.disabled;
        EXPECT_LE(item.x + item.cx, dlg.cx);
        EXPECT_LE(item.y + item.cy, dlg.cy);
        if (item.kind == ItemKind::Trackbar) {
            EXPECT_STREQ(item.text, "Slider1");
            EXPECT_EQ(item.style & (WS_TABSTOP | TBS_BOTH), WS_TABSTOP | TBS_BOTH);
        } else if (item.kind == ItemKind::ComboBox) {
            EXPECT_EQ(item.style & 0x3u, CBS_DROPDOWN); // editable, not a drop-down list
            EXPECT_TRUE(item.style & WS_VSCROLL);
        } else if (item.kind == ItemKind::Static) {
            EXPECT_EQ(item.style & (WS_GROUP | WS_TABSTOP), WS_GROUP);
        } else if (item.kind == ItemKind::Edit) {
            EXPECT_TRUE(item.style & ES_READONLY);
        }
    }
    EXPECT_EQ(count[static_cast<int>(ItemKind::Trackbar)], 17); // ten sliders and seven knobs
    EXPECT_EQ(count[static_cast<int>(ItemKind::ComboBox)], 13); // six lists, seven route sources
    EXPECT_EQ(count[static_cast<int>(ItemKind::Static)], 31);
    EXPECT_EQ(disabled, 0); // the smoothing controls are live too

    EXPECT_EQ(FindItem(dlg, 1025)->style & TBS_VERT, 0u);
    EXPECT_EQ(FindItem(dlg, 1011)->style & TBS_VERT, TBS_VERT);
    const DialogItem* info = FindItem(dlg, 1030);
    EXPECT_EQ(info->style & (ES_MULTILINE | ES_CENTER), ES_MULTILINE | ES_CENTER);
    EXPECT_EQ(info->exStyle, WS_EX_CLIENTEDGE);
    EXPECT_TRUE(FindItem(dlg, 1006)->style & WS_BORDER);
    EXPECT_EQ(FindItem(dlg, 1021)->kind, ItemKind::CheckBox);
    EXPECT_EQ(FindItem(dlg, 1051)->style & SS_CENTER, 0u);
    EXPECT_EQ(FindItem(dlg, 1054)->style & SS_CENTER, SS_CENTER);
    EXPECT_STREQ(FindItem(dlg, 1050)->text, "\nC O R V A N E\nCV-01");
    EXPECT_EQ(FindItem(dlg, 1014)->cx, 112);
    EXPECT_EQ(FindItem(dlg, 1077)->cx, 129);
    EXPECT_EQ(FindItem(dlg, 1024)->y, 140);
    EXPECT_EQ(FindItem(dlg, 4242), nullptr);
}

TEST(DialogTemplate, DialogUnitConversionRoundsHalvesUp)
{
    EXPECT_EQ(DluToPixelsX(617), 926); // 925.5
    EXPECT_EQ(DluToPixelsY(254), 413); // 412.75
    EXPECT_EQ(DluToPixelsX(1), 2);     // 1.5
    EXPECT_EQ(DluToPixelsY(1), 2);     // 1.625
    EXPECT_EQ(DluToPixelsY(12), 20);   // 19.5
    EXPECT_EQ(DluToPixelsX(0), 0);
    // Item 1011: 229.5, 102.375, 45 x 121.875.
    const PixelRect r = ItemRectPixels(*FindItem(PanelTemplate(), 1011));
    EXPECT_EQ(std::tuple(r.x, r.y, r.width, r.height), std::tuple(230, 102, 45, 122));
}
