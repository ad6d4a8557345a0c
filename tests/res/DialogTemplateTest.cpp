// Dialog template 101: item count and order, styles, positions and the dialog-unit conversion.
#include "res/DialogTemplate.h"

#include <gtest/gtest.h>

#include <set>

using namespace corvane::res;
using namespace corvane::res::style;

TEST(DialogTemplate, HeaderAndItemOrder)
{
    const DialogTemplate& dlg = PanelTemplate();
    EXPECT_EQ(dlg.id, 101);
    EXPECT_EQ(dlg.cx, 617);
    EXPECT_EQ(dlg.cy, 254);
    EXPECT_STREQ(dlg.fontName, "MS Sans Serif");
    EXPECT_EQ(dlg.fontPoints, 8);
    EXPECT_EQ(dlg.style, WS_CHILD | DS_SETFONT);
    ASSERT_EQ(dlg.items.size(), 80u);

    // Tab order at a few fixed points: first, the four frames, around the knobs, last.
    EXPECT_EQ(dlg.items[0].kind, ItemKind::GroupBox);
    EXPECT_EQ(dlg.items[0].x, 145);
    EXPECT_EQ(dlg.items[1].id, 1051);
    EXPECT_EQ(dlg.items[5].id, 1011);
    EXPECT_EQ(dlg.items[6].kind, ItemKind::GroupBox);
    EXPECT_EQ(dlg.items[15].kind, ItemKind::GroupBox);
    EXPECT_EQ(dlg.items[30].id, 1006);
    EXPECT_EQ(dlg.items[31].kind, ItemKind::GroupBox);
    EXPECT_EQ(dlg.items[31].x, 6);
    EXPECT_EQ(dlg.items[37].id, 1007);
    EXPECT_EQ(dlg.items[67].id, 1030);
    EXPECT_EQ(dlg.items[79].id, 1077);

    // 76 distinct identifiers, the four frames without one.
    std::set<int> ids;
    int frames = 0;
    for (const DialogItem& item : dlg.items) {
        if (item.id == kNoId)
            ++frames;
        else
            ids.insert(item.id);
    }
    EXPECT_EQ(frames, 4);
    EXPECT_EQ(ids.size(), 76u);
    EXPECT_EQ(*ids.begin(), 1002);
    EXPECT_EQ(*ids.rbegin(), 1077);
}

TEST(DialogTemplate, StylesByKind)
{
    const DialogTemplate& dlg = PanelTemplate();
    int trackbars = 0, combos = 0, statics = 0, disabled = 0;
    for (const DialogItem& item : dlg.items) {
        SCOPED_TRACE(item.id);
        EXPECT_EQ(item.style & (WS_CHILD | WS_VISIBLE), WS_CHILD | WS_VISIBLE);
        EXPECT_EQ(item.disabled, (item.style & WS_DISABLED) != 0);
        disabled += item.disabled ? 1 : 0;
        switch (item.kind) {
        case ItemKind::Trackbar:
            ++trackbars;
            EXPECT_STREQ(item.text, "Slider1");
            EXPECT_TRUE(item.style & WS_TABSTOP);
            EXPECT_TRUE(item.style & TBS_BOTH);
            break;
        case ItemKind::ComboBox:
            ++combos;
            EXPECT_EQ(item.style & 0x3u, CBS_DROPDOWN); // editable, not a drop-down list
            EXPECT_TRUE(item.style & WS_VSCROLL);
            break;
        case ItemKind::Static:
            ++statics;
            EXPECT_TRUE(item.style & WS_GROUP);
            EXPECT_FALSE(item.style & WS_TABSTOP);
            break;
        case ItemKind::Edit:
            EXPECT_TRUE(item.style & ES_READONLY);
            break;
        default:
            break;
        }
    }
    EXPECT_EQ(trackbars, 17); // ten sliders (Smooth included) and seven knobs
    EXPECT_EQ(combos, 13); // six lists and seven route sources
    EXPECT_EQ(statics, 31);
    EXPECT_EQ(disabled, 3);
    for (int id : {1032, 1033, 1035})
        EXPECT_TRUE(FindItem(dlg, id)->disabled) << id;

    const DialogItem* lfo1 = FindItem(dlg, 1025);
    EXPECT_EQ(lfo1->style & TBS_VERT, 0u);
    EXPECT_EQ(FindItem(dlg, 1011)->style & TBS_VERT, TBS_VERT);
    const DialogItem* info = FindItem(dlg, 1030);
    EXPECT_EQ(info->style & (ES_MULTILINE | ES_CENTER), ES_MULTILINE | ES_CENTER);
    EXPECT_EQ(info->exStyle, WS_EX_CLIENTEDGE);
    EXPECT_TRUE(FindItem(dlg, 1006)->style & WS_BORDER);
    EXPECT_EQ(FindItem(dlg, 1021)->kind, ItemKind::CheckBox);
    EXPECT_EQ(FindItem(dlg, 1051)->style & SS_CENTER, 0u);
    EXPECT_EQ(FindItem(dlg, 1054)->style & SS_CENTER, SS_CENTER);
}

TEST(DialogTemplate, PositionsAndTexts)
{
    const DialogTemplate& dlg = PanelTemplate();
    const DialogItem* badge = FindItem(dlg, 1050);
    ASSERT_NE(badge, nullptr);
    EXPECT_STREQ(badge->text, "\nC O R V A N E\nCV-01");
    EXPECT_EQ(FindItem(dlg, 1014)->cx, 112);
    EXPECT_EQ(FindItem(dlg, 1077)->cx, 129);
    EXPECT_EQ(FindItem(dlg, 1024)->y, 140);
    EXPECT_EQ(FindItem(dlg, kNoId), nullptr);
    EXPECT_EQ(FindItem(dlg, 4242), nullptr);
    for (const DialogItem& item : dlg.items) {
        EXPECT_LE(item.x + item.cx, dlg.cx) << item.id;
        EXPECT_LE(item.y + item.cy, dlg.cy) << item.id;
    }
    EXPECT_EQ(ShownText("S&&H"), "S&H");
    EXPECT_EQ(ShownText("&Mute"), "Mute");
    EXPECT_EQ(ShownText(nullptr), "");
}

TEST(DialogTemplate, DialogUnitConversion)
{
    EXPECT_EQ(DluToPixelsX(617), 926); // 925.5 rounds up
    EXPECT_EQ(DluToPixelsY(254), 413); // 412.75
    EXPECT_EQ(DluToPixelsX(1), 2);     // 1.5
    EXPECT_EQ(DluToPixelsY(1), 2);     // 1.625
    EXPECT_EQ(DluToPixelsY(12), 20);   // 19.5
    EXPECT_EQ(DluToPixelsX(0), 0);
    const PixelRect r = ItemRectPixels(*FindItem(PanelTemplate(), 1011));
    EXPECT_EQ(r.x, 230);      // 229.5
    EXPECT_EQ(r.y, 102);      // 102.375
    EXPECT_EQ(r.width, 45);
    EXPECT_EQ(r.height, 122); // 121.875
}
