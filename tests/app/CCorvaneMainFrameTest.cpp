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
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <QToolTip>

#include <gtest/gtest.h>

using corvane::CCorvaneMainFrame;
namespace cmd = corvane::cmd;

namespace {
using Items = std::vector<std::pair<int, std::string>>; // id and text; "~" greyed, "-" separator

QMenu* MenuAt(CCorvaneMainFrame& frame, int index) { return frame.menuBar()->actions().at(index)->menu(); }

Items ItemsOf(QMenu* menu)
{
    Items items;
    for (QAction* a : menu->actions())
        if (a->isVisible())
            items.emplace_back(a->isSeparator() ? 0 : a->data().toInt(),
                               a->isSeparator() ? "-" : (a->isEnabled() ? "" : "~") + a->text().toStdString());
    return items;
}

struct ShownFrame : CCorvaneMainFrame {
    ShownFrame()
    {
        show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(this));
    }
    QString Status() { return statusBar()->currentMessage(); }
    // Drops a menu down from the menu bar, as a click on its title would.
    QMenu* Open(int index)
    {
        QMenu* menu = MenuAt(*this, index);
        menuBar()->setActiveAction(menu->menuAction());
        EXPECT_TRUE(QTest::qWaitForWindowExposed(menu));
        return menu;
    }
};
} // namespace

TEST(CCorvaneMainFrame, MenusItemsIdentifiersAcceleratorsAndRecentFiles)
{
    CCorvaneMainFrame frame;
    QStringList titles;
    for (QAction* a : frame.menuBar()->actions())
        titles << a->text();
    EXPECT_EQ(titles, QStringList({"&File", "&Edit", "Sound", "&View", "&Help"}));
    EXPECT_EQ(ItemsOf(MenuAt(frame, 0)), (Items{{cmd::FileNew, "&New\tCtrl+N"}, {cmd::FileOpen, "&Open...\tCtrl+O"},
                                                {cmd::FileSave, "&Save\tCtrl+S"}, {cmd::FileSaveAs, "Save &As..."},
                                                {0, "-"}, {0, "-"}, {cmd::FileMruFirst, "~Recent File"}, {0, "-"},
                                                {cmd::AppExit, "E&xit"}}));
    EXPECT_FALSE(MenuAt(frame, 0)->separatorsCollapsible());
    // Nothing handles the Edit commands: all four are greyed.
    EXPECT_EQ(ItemsOf(MenuAt(frame, 1)), (Items{{cmd::EditUndo, "~&Undo\tCtrl+Z"}, {0, "-"},
                                                {cmd::EditCut, "~Cu&t\tCtrl+X"}, {cmd::EditCopy, "~&Copy\tCtrl+C"},
                                                {cmd::EditPaste, "~&Paste\tCtrl+V"}}));
    EXPECT_EQ(ItemsOf(MenuAt(frame, 2)), (Items{{cmd::SoundLoop, "Loop"}, {cmd::SoundOneShot, "OneShot"}}));
    EXPECT_FALSE(frame.Action(cmd::SoundLoop)->isCheckable());
    EXPECT_EQ(ItemsOf(MenuAt(frame, 3)), (Items{{cmd::ViewToolbar, "&Toolbar"}, {cmd::ViewStatusBar, "&Status Bar"}}));
    EXPECT_EQ(ItemsOf(MenuAt(frame, 4)), (Items{{cmd::AppAbout, "&About Corvane..."}}));
    // The alternative editing keys too.
    EXPECT_EQ(frame.Action(cmd::EditUndo)->shortcuts(), QKeySequence::listFromString("Ctrl+Z; Alt+Backspace"));
    EXPECT_EQ(frame.Action(cmd::EditPaste)->shortcuts(), QKeySequence::listFromString("Ctrl+V; Shift+Ins"));

    // Recent files replace the placeholder, escape ampersands and report their slot.
    frame.SetRecentFiles({"/tmp/b&w.wav", "/data/rain.wav"});
    const Items file = ItemsOf(MenuAt(frame, 0));
    EXPECT_EQ(Items(file.begin() + 5, file.end()), (Items{{0, "-"}, {cmd::FileMruFirst, "&1 /tmp/b&&w.wav"},
                                                          {cmd::FileMruFirst + 1, "&2 /data/rain.wav"}, {0, "-"},
                                                          {cmd::AppExit, "E&xit"}}));
    EXPECT_EQ(frame.RecentFileActions().at(1)->statusTip(), "Open this document");
    std::vector<int> chosen;
    QObject::connect(&frame, &CCorvaneMainFrame::RecentFileChosen, [&](int i) { chosen.push_back(i); });
    frame.RecentFileActions().at(1)->trigger();
    EXPECT_EQ(chosen, std::vector<int>{1});
    frame.SetRecentFiles({});
    EXPECT_TRUE(frame.RecentFileActions().isEmpty());
    EXPECT_EQ(ItemsOf(MenuAt(frame, 0)).at(6), (std::pair<int, std::string>(cmd::FileMruFirst, "~Recent File")));
}

TEST(CCorvaneMainFrame, CommandsAcceleratorsAndViewToggles)
{
    ShownFrame frame;
    std::vector<int> commands;
    QObject::connect(&frame, &CCorvaneMainFrame::Command, [&](int id) { commands.push_back(id); });
    frame.Action(cmd::SoundOneShot)->trigger();
    QTest::keyClick(&frame, Qt::Key_N, Qt::ControlModifier);
    QTest::keyClick(&frame, Qt::Key_O, Qt::ControlModifier);
    QTest::keyClick(&frame, Qt::Key_S, Qt::ControlModifier);
    QTest::keyClick(&frame, Qt::Key_Z, Qt::ControlModifier); // Undo is greyed: nothing happens
    EXPECT_EQ(commands, (std::vector<int>{cmd::SoundOneShot, cmd::FileNew, cmd::FileOpen, cmd::FileSave}));

    // The View items' check marks follow the bars, however they were hidden.
    QAction* toolbar = frame.Action(cmd::ViewToolbar);
    QAction* status = frame.Action(cmd::ViewStatusBar);
    EXPECT_TRUE(toolbar->isChecked() && status->isChecked());
    toolbar->trigger();
    status->trigger();
    EXPECT_FALSE(frame.ToolBar()->isVisible() || toolbar->isChecked());
    EXPECT_FALSE(frame.statusBar()->isVisible() || status->isChecked());
    toolbar->trigger();
    EXPECT_TRUE(frame.ToolBar()->isVisible() && toolbar->isChecked());
    frame.ToolBar()->hide(); // from the toolbar's context menu
    EXPECT_FALSE(toolbar->isChecked());
    frame.ToolBar()->show();
    frame.hide(); // hiding the whole window is not hiding the bars
    EXPECT_TRUE(toolbar->isChecked());
    EXPECT_FALSE(status->isChecked());

    bool closed = false;
    QObject::connect(&frame, &CCorvaneMainFrame::Closed, [&] { closed = true; });
    frame.Action(cmd::AppExit)->trigger();
    EXPECT_TRUE(closed);
}

TEST(CCorvaneMainFrame, StatusPromptsToolbarAndTooltips)
{
    ShownFrame frame;
    EXPECT_EQ(frame.MessagePane()->text(), "Ready");
    EXPECT_TRUE(frame.Status().isEmpty());
    QMenu* sound = frame.Open(2);
    sound->setActiveAction(frame.Action(cmd::SoundLoop));
    EXPECT_EQ(frame.Status(), "play in repeat mode");
    sound->close();
    QMenu* file = frame.Open(0);
    file->setActiveAction(frame.Action(cmd::AppExit));
    EXPECT_EQ(frame.Status(), "Quit the application; prompts to save documents");
    file->close();
    frame.menuBar()->setActiveAction(nullptr);
    QApplication::processEvents();
    EXPECT_TRUE(frame.Status().isEmpty()); // back to "Ready"
    EXPECT_TRUE(frame.MessagePane()->isVisible());

    QToolBar* bar = frame.ToolBar();
    EXPECT_EQ(bar->actions(), QList<QAction*>({frame.Action(cmd::SoundLoop), frame.Action(cmd::SoundOneShot)}));
    EXPECT_TRUE(bar->isMovable());
    EXPECT_EQ(frame.toolBarArea(bar), Qt::TopToolBarArea);
    EXPECT_EQ(bar->iconSize(), QSize(16, 15));
    const auto tooltipOf = [](QWidget* w) {
        QHelpEvent help(QEvent::ToolTip, QPoint(2, 2), w->mapToGlobal(QPoint(2, 2)));
        QApplication::sendEvent(w, &help);
        return QToolTip::text();
    };
    // The Sound commands have no tooltip part: their buttons show none, only their prompt.
    for (int id : {cmd::SoundLoop, cmd::SoundOneShot}) {
        QWidget* button = bar->widgetForAction(frame.Action(id));
        EXPECT_TRUE(tooltipOf(button).isEmpty()) << id;
        QTest::mouseMove(button, QPoint(4, 4));
        EXPECT_EQ(frame.Status(), id == cmd::SoundLoop ? "play in repeat mode" : "play one segment");
    }
    QToolButton control(&frame); // while a button with a tooltip shows it
    control.setToolTip("control tip");
    control.show();
    EXPECT_EQ(tooltipOf(&control), "control tip");
}

TEST(CCorvaneMainFrame, TitleAndLockIndicators)
{
    EXPECT_EQ(CCorvaneMainFrame::ComposeTitle("", "Corvane"), "Corvane");
    ShownFrame frame;
    frame.SetDocumentTitle("rain.wav");
    EXPECT_EQ(frame.windowTitle(), "rain.wav - Corvane");

    // The watcher asks again after a key is released and reports only changes.
    corvane::KeyLocks locks{true, false, false};
    int reports = 0;
    corvane::CKeyLockWatcher watcher(
        [&](const corvane::KeyLocks& l) { ++reports, frame.SetKeyIndicators(l.capsLock, l.numLock, l.scrollLock); },
        [&] { return std::optional<corvane::KeyLocks>(locks); });
    const auto panes = [&] {
        return frame.IndicatorPane(cmd::IndicatorCaps)->text() + "|" + frame.IndicatorPane(cmd::IndicatorNum)->text() +
               "|" + frame.IndicatorPane(cmd::IndicatorScrl)->text();
    };
    EXPECT_EQ(reports, 1);
    EXPECT_EQ(panes(), "CAP||");
    locks = {false, true, true};
    QTest::keyRelease(frame.windowHandle(), Qt::Key_NumLock);
    EXPECT_EQ(reports, 2);
    EXPECT_EQ(panes(), "|NUM|SCRL");
    QTest::keyRelease(frame.windowHandle(), Qt::Key_A);
    EXPECT_EQ(reports, 2);
}

TEST(ToolbarImages, LoopIsATriangleAndOneShotATriangleWithABar)
{
    const auto black = [](const QImage& image, int x, int y) { return image.pixel(x, y) == qRgb(0, 0, 0); };
    const auto rowWidths = [&](const QImage& image, int toX) {
        std::vector<int> widths(15);
        for (int y = 0; y < 15; ++y)
            for (int x = 0; x <= toX; ++x)
                widths[y] += black(image, x, y) ? 1 : 0;
        return widths;
    };
    // Widest in the middle row, narrowing symmetrically to a point at top and bottom.
    const std::vector<int> triangle{0, 0, 0, 1, 2, 3, 4, 6, 4, 3, 2, 1, 0, 0, 0};
    const QImage loop = corvane::LoopButtonImage();
    ASSERT_EQ(loop.size(), QSize(16, 15));
    EXPECT_EQ(rowWidths(loop, 15), triangle);
    EXPECT_TRUE(black(loop, 10, 7)); // the tip points right
    EXPECT_EQ(qAlpha(loop.pixel(0, 0)), 0);
    // The same triangle, a gap, then a bar two pixels wide.
    const QImage oneShot = corvane::OneShotButtonImage();
    EXPECT_EQ(rowWidths(oneShot, 9), triangle);
    EXPECT_FALSE(black(oneShot, 9, 7));
    for (int y = 3; y <= 11; ++y)
        EXPECT_TRUE(black(oneShot, 10, y) && black(oneShot, 11, y)) << y;
}
