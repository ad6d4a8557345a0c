// Main frame: menu structure and texts, prompts, tooltips, View toggles, toolbar images, title.
#include "app/CCorvaneMainFrame.h"
#include "app/CKeyLockWatcher.h"
#include "app/CommandIds.h"
#include "app/ToolbarImages.h"

#include <QApplication>
#include <QHelpEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QToolTip>
#include <QTest>

#include <gtest/gtest.h>

using corvane::CCorvaneMainFrame;
namespace cmd = corvane::cmd;

namespace {
struct Item {
    QString text; // "-" for a separator
    int id;
    bool enabled;
};

std::vector<Item> Items(QMenu* menu)
{
    std::vector<Item> items;
    for (QAction* a : menu->actions()) {
        if (!a->isVisible())
            continue;
        items.push_back(a->isSeparator() ? Item{"-", 0, true}
                                         : Item{a->text(), a->data().toInt(), a->isEnabled()});
    }
    return items;
}

void ExpectItems(QMenu* menu, const std::vector<Item>& expected)
{
    const std::vector<Item> actual = Items(menu);
    ASSERT_EQ(actual.size(), expected.size()) << menu->title().toStdString();
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(actual[i].text, expected[i].text) << i;
        EXPECT_EQ(actual[i].id, expected[i].id) << expected[i].text.toStdString();
        EXPECT_EQ(actual[i].enabled, expected[i].enabled) << expected[i].text.toStdString();
    }
}

QMenu* MenuAt(CCorvaneMainFrame& frame, int index)
{
    return frame.menuBar()->actions().at(index)->menu();
}

// Drops a menu down from the menu bar, as a click on its title would.
QMenu* OpenMenu(CCorvaneMainFrame& frame, int index)
{
    QMenu* menu = MenuAt(frame, index);
    frame.menuBar()->setActiveAction(menu->menuAction());
    EXPECT_TRUE(QTest::qWaitForWindowExposed(menu));
    return menu;
}
} // namespace

TEST(CCorvaneMainFrame, MenuBarHoldsTheTabulatedMenusItemsAndIdentifiers)
{
    CCorvaneMainFrame frame;
    QStringList titles;
    for (QAction* a : frame.menuBar()->actions())
        titles << a->text();
    EXPECT_EQ(titles, QStringList({"&File", "&Edit", "Sound", "&View", "&Help"}));

    ExpectItems(MenuAt(frame, 0), {{"&New\tCtrl+N", cmd::FileNew, true},
                                   {"&Open...\tCtrl+O", cmd::FileOpen, true},
                                   {"&Save\tCtrl+S", cmd::FileSave, true},
                                   {"Save &As...", cmd::FileSaveAs, true},
                                   {"-", 0, true},
                                   {"-", 0, true},
                                   {"Recent File", cmd::FileMruFirst, false},
                                   {"-", 0, true},
                                   {"E&xit", cmd::AppExit, true}});
    EXPECT_FALSE(MenuAt(frame, 0)->separatorsCollapsible());
    // Nothing handles the Edit commands: all four are greyed.
    ExpectItems(MenuAt(frame, 1), {{"&Undo\tCtrl+Z", cmd::EditUndo, false},
                                   {"-", 0, true},
                                   {"Cu&t\tCtrl+X", cmd::EditCut, false},
                                   {"&Copy\tCtrl+C", cmd::EditCopy, false},
                                   {"&Paste\tCtrl+V", cmd::EditPaste, false}});
    ExpectItems(MenuAt(frame, 2), {{"Loop", cmd::SoundLoop, true}, {"OneShot", cmd::SoundOneShot, true}});
    EXPECT_FALSE(frame.Action(cmd::SoundLoop)->isCheckable());
    ExpectItems(MenuAt(frame, 3), {{"&Toolbar", cmd::ViewToolbar, true},
                                   {"&Status Bar", cmd::ViewStatusBar, true}});
    ExpectItems(MenuAt(frame, 4), {{"&About Corvane...", cmd::AppAbout, true}});

    // Accelerators, including the alternative editing keys.
    EXPECT_EQ(frame.Action(cmd::FileNew)->shortcut(), QKeySequence("Ctrl+N"));
    EXPECT_EQ(frame.Action(cmd::FileOpen)->shortcut(), QKeySequence("Ctrl+O"));
    EXPECT_EQ(frame.Action(cmd::FileSave)->shortcut(), QKeySequence("Ctrl+S"));
    EXPECT_EQ(frame.Action(cmd::EditUndo)->shortcuts(),
              QList<QKeySequence>({QKeySequence("Ctrl+Z"), QKeySequence("Alt+Backspace")}));
    EXPECT_EQ(frame.Action(cmd::EditPaste)->shortcuts(),
              QList<QKeySequence>({QKeySequence("Ctrl+V"), QKeySequence("Shift+Ins")}));
}

TEST(CCorvaneMainFrame, CommandsAndAcceleratorsReachTheApplicationByIdentifier)
{
    CCorvaneMainFrame frame;
    frame.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
    std::vector<int> commands;
    QObject::connect(&frame, &CCorvaneMainFrame::Command, [&](int id) { commands.push_back(id); });
    frame.Action(cmd::SoundOneShot)->trigger();
    QTest::keyClick(&frame, Qt::Key_N, Qt::ControlModifier);
    QTest::keyClick(&frame, Qt::Key_S, Qt::ControlModifier);
    QTest::keyClick(&frame, Qt::Key_Z, Qt::ControlModifier); // Undo is greyed: nothing happens
    EXPECT_EQ(commands, (std::vector<int>{cmd::SoundOneShot, cmd::FileNew, cmd::FileSave}));

    bool closed = false;
    QObject::connect(&frame, &CCorvaneMainFrame::Closed, [&] { closed = true; });
    frame.Action(cmd::AppExit)->trigger();
    EXPECT_TRUE(closed);
    EXPECT_FALSE(frame.isVisible());
}

TEST(CCorvaneMainFrame, HighlightedMenuItemsAndIdleShowTheirPromptsInTheStatusBar)
{
    CCorvaneMainFrame frame;
    frame.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
    EXPECT_EQ(frame.MessagePane()->text(), "Ready");
    EXPECT_TRUE(frame.statusBar()->currentMessage().isEmpty());

    QMenu* sound = OpenMenu(frame, 2);
    sound->setActiveAction(frame.Action(cmd::SoundLoop));
    EXPECT_EQ(frame.statusBar()->currentMessage(), "play in repeat mode");
    sound->setActiveAction(frame.Action(cmd::SoundOneShot));
    EXPECT_EQ(frame.statusBar()->currentMessage(), "play one segment");
    sound->close();

    QMenu* file = OpenMenu(frame, 0);
    file->setActiveAction(frame.Action(cmd::FileSaveAs));
    EXPECT_EQ(frame.statusBar()->currentMessage(), "Save the active document with a new name");
    file->setActiveAction(frame.Action(cmd::AppExit));
    EXPECT_EQ(frame.statusBar()->currentMessage(), "Quit the application; prompts to save documents");
    file->close();
    frame.menuBar()->setActiveAction(nullptr);
    QApplication::processEvents();
    EXPECT_TRUE(frame.statusBar()->currentMessage().isEmpty());
    EXPECT_TRUE(frame.MessagePane()->isVisible());
}

TEST(CCorvaneMainFrame, ToolbarHasTheTwoSoundButtonsWithoutTooltips)
{
    CCorvaneMainFrame frame;
    frame.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
    QToolBar* bar = frame.ToolBar();
    EXPECT_EQ(bar->actions(), QList<QAction*>({frame.Action(cmd::SoundLoop), frame.Action(cmd::SoundOneShot)}));
    EXPECT_TRUE(bar->isMovable());
    EXPECT_EQ(frame.toolBarArea(bar), Qt::TopToolBarArea);
    EXPECT_EQ(bar->iconSize(), QSize(16, 15));

    // The Sound buttons, whose commands have no tooltip part, show none; a control button
    // with a tooltip shows it the same way.
    for (int id : {cmd::SoundLoop, cmd::SoundOneShot}) {
        QWidget* button = bar->widgetForAction(frame.Action(id));
        ASSERT_NE(button, nullptr);
        QHelpEvent help(QEvent::ToolTip, QPoint(2, 2), button->mapToGlobal(QPoint(2, 2)));
        QApplication::sendEvent(button, &help);
        EXPECT_TRUE(QToolTip::text().isEmpty()) << id;
        // Pointing at the button puts its prompt in the status bar.
        QTest::mouseMove(button, QPoint(4, 4));
        EXPECT_EQ(frame.statusBar()->currentMessage(),
                  id == cmd::SoundLoop ? "play in repeat mode" : "play one segment");
    }
    QToolButton control(&frame);
    control.setToolTip("control tip");
    control.show();
    QHelpEvent controlHelp(QEvent::ToolTip, QPoint(2, 2), control.mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(&control, &controlHelp);
    EXPECT_EQ(QToolTip::text(), "control tip");
}

TEST(CCorvaneMainFrame, ViewTogglesHideAndShowTheBarsAndTheirCheckMarksFollow)
{
    CCorvaneMainFrame frame;
    frame.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
    QAction* toolbar = frame.Action(cmd::ViewToolbar);
    QAction* status = frame.Action(cmd::ViewStatusBar);
    ASSERT_TRUE(toolbar->isCheckable());
    EXPECT_TRUE(toolbar->isChecked());
    EXPECT_TRUE(status->isChecked());

    toolbar->trigger();
    EXPECT_FALSE(frame.ToolBar()->isVisible());
    EXPECT_FALSE(toolbar->isChecked());
    status->trigger();
    EXPECT_FALSE(frame.statusBar()->isVisible());
    EXPECT_FALSE(status->isChecked());
    toolbar->trigger();
    EXPECT_TRUE(frame.ToolBar()->isVisible());
    EXPECT_TRUE(toolbar->isChecked());

    // Hidden some other way (the toolbar's context menu): the mark follows the bar.
    frame.ToolBar()->hide();
    EXPECT_FALSE(toolbar->isChecked());
    frame.ToolBar()->show();
    // Hiding the whole window is not hiding the bars.
    frame.hide();
    EXPECT_TRUE(toolbar->isChecked());
    EXPECT_FALSE(status->isChecked());
}

TEST(CCorvaneMainFrame, RecentFilesReplaceThePlaceholderAndReportTheirSlot)
{
    CCorvaneMainFrame frame;
    frame.SetRecentFiles({"/tmp/b&w.wav", "/data/rain.wav"});
    const std::vector<Item> file = Items(MenuAt(frame, 0));
    ASSERT_EQ(file.size(), 10u);
    EXPECT_EQ(file[6].text, "&1 /tmp/b&&w.wav");
    EXPECT_EQ(file[6].id, cmd::FileMruFirst);
    EXPECT_EQ(file[7].text, "&2 /data/rain.wav");
    EXPECT_EQ(file[8].text, "-");
    EXPECT_EQ(file[9].text, "E&xit");
    EXPECT_EQ(frame.RecentFileActions().at(1)->statusTip(), "Open this document");

    std::vector<int> chosen;
    QObject::connect(&frame, &CCorvaneMainFrame::RecentFileChosen, [&](int i) { chosen.push_back(i); });
    frame.RecentFileActions().at(1)->trigger();
    EXPECT_EQ(chosen, std::vector<int>{1});

    frame.SetRecentFiles({});
    EXPECT_TRUE(frame.RecentFileActions().isEmpty());
    const std::vector<Item> empty = Items(MenuAt(frame, 0));
    ASSERT_EQ(empty.size(), 9u);
    EXPECT_EQ(empty[6].text, "Recent File");
    EXPECT_FALSE(empty[6].enabled);
}

TEST(CCorvaneMainFrame, TitleStatusPanesAndLockIndicators)
{
    EXPECT_EQ(CCorvaneMainFrame::ComposeTitle("Untitled", "Corvane"), "Untitled - Corvane");
    EXPECT_EQ(CCorvaneMainFrame::ComposeTitle("rain.wav", "Corvane"), "rain.wav - Corvane");
    EXPECT_EQ(CCorvaneMainFrame::ComposeTitle("", "Corvane"), "Corvane");

    CCorvaneMainFrame frame;
    frame.SetDocumentTitle("rain.wav");
    EXPECT_EQ(frame.windowTitle(), "rain.wav - Corvane");
    ASSERT_NE(frame.IndicatorPane(cmd::IndicatorCaps), nullptr);

    // The watcher asks again after a key is released and reports only changes.
    corvane::KeyLocks locks{true, false, false};
    int reports = 0;
    corvane::CKeyLockWatcher watcher(
        [&](const corvane::KeyLocks& l) {
            ++reports;
            frame.SetKeyIndicators(l.capsLock, l.numLock, l.scrollLock);
        },
        [&] { return std::optional<corvane::KeyLocks>(locks); });
    EXPECT_EQ(reports, 1);
    EXPECT_EQ(frame.IndicatorPane(cmd::IndicatorCaps)->text(), "CAP");
    EXPECT_EQ(frame.IndicatorPane(cmd::IndicatorNum)->text(), "");
    frame.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
    locks = {false, true, true};
    QTest::keyRelease(frame.windowHandle(), Qt::Key_NumLock);
    EXPECT_EQ(reports, 2);
    EXPECT_EQ(frame.IndicatorPane(cmd::IndicatorCaps)->text(), "");
    EXPECT_EQ(frame.IndicatorPane(cmd::IndicatorNum)->text(), "NUM");
    EXPECT_EQ(frame.IndicatorPane(cmd::IndicatorScrl)->text(), "SCRL");
    QTest::keyRelease(frame.windowHandle(), Qt::Key_A);
    EXPECT_EQ(reports, 2);
}

TEST(ToolbarImages, LoopIsATriangleAndOneShotATriangleWithABar)
{
    const auto black = [](const QImage& image, int x, int y) { return image.pixel(x, y) == qRgb(0, 0, 0); };
    const auto width = [&](const QImage& image, int y, int from, int to) {
        int n = 0;
        for (int x = from; x <= to; ++x)
            n += black(image, x, y) ? 1 : 0;
        return n;
    };
    const QImage loop = corvane::LoopButtonImage();
    ASSERT_EQ(loop.size(), QSize(16, 15));
    // Widest in the middle row, narrowing symmetrically to a point at top and bottom.
    EXPECT_EQ(width(loop, 7, 0, 15), 6);
    for (int d = 1; d <= 4; ++d) {
        EXPECT_EQ(width(loop, 7 - d, 0, 15), width(loop, 7 + d, 0, 15));
        EXPECT_LT(width(loop, 7 - d, 0, 15), width(loop, 7 - d + 1, 0, 15));
    }
    EXPECT_EQ(width(loop, 2, 0, 15) + width(loop, 12, 0, 15), 0);
    EXPECT_TRUE(black(loop, 10, 7)); // the tip points right
    EXPECT_EQ(qAlpha(loop.pixel(0, 0)), 0);

    const QImage oneShot = corvane::OneShotButtonImage();
    for (int y = 3; y <= 11; ++y)
        EXPECT_TRUE(black(oneShot, 10, y) && black(oneShot, 11, y)) << y;
    EXPECT_FALSE(black(oneShot, 9, 7)); // a gap between the triangle's tip and the bar
    EXPECT_TRUE(black(oneShot, 8, 7));
    EXPECT_EQ(width(oneShot, 7, 0, 9), 6);
}
