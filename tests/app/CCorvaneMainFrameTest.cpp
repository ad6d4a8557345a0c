// Main frame: menu structure, prompts, tooltips, View toggles, toolbar images, title.
#include "app/CCorvaneMainFrame.h"
#include "app/CKeyLockWatcher.h"
#include "app/CSoundOutputMenu.h"
#include "app/CommandIds.h"
#include "app/ToolbarImages.h"
#include "platform/MixerDevice.h"
#include "platform/OutputDevices.h"

#include <QApplication>
#include <QHelpEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>
#include <QToolTip>

#include <gtest/gtest.h>

using corvane::CCorvaneMainFrame;
namespace cmd = corvane::cmd;

namespace {
// Command ids of a menu's visible items, 0 for a separator and negative when greyed.
std::vector<int> IdsOf(QMenu* menu)
{
    std::vector<int> ids;
    for (QAction* a : menu->actions())
        if (a->isVisible())
            ids.push_back(a->isSeparator() ? 0 : a->isEnabled() ? a->data().toInt() : -a->data().toInt());
    return ids;
}

struct ShownFrame : CCorvaneMainFrame {
    ShownFrame()
    {
        show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(this));
    }
    QString Status() { return statusBar()->currentMessage(); }
};
} // namespace

TEST(CCorvaneMainFrame, MenusCommandsAndRecentFiles)
{
    CCorvaneMainFrame frame;
    const auto menu = [&](int i) { return frame.menuBar()->actions().at(i)->menu(); };
    EXPECT_EQ(IdsOf(menu(0)), (std::vector<int>{cmd::FileNew, cmd::FileOpen, 0, cmd::FileSave, cmd::FileSaveAs,
                                                cmd::FileExportAudio, 0, 0, -cmd::FileMruFirst, 0, cmd::AppExit}));
    // File > Sounds: greyed until it is filled; each name reports itself, ampersands escaped.
    QMenu* sounds = frame.SoundsMenu();
    ASSERT_EQ(sounds->actions().size(), 1);
    EXPECT_FALSE(sounds->actions().at(0)->isEnabled());
    frame.SetReadySounds({"Ocean Surf", "Rock & Roll"});
    ASSERT_EQ(sounds->actions().size(), 2);
    EXPECT_EQ(sounds->actions().at(1)->text(), "Rock && Roll");
    QStringList picked;
    QObject::connect(&frame, &CCorvaneMainFrame::ReadySoundChosen, [&](const QString& name) { picked << name; });
    sounds->actions().at(1)->trigger();
    EXPECT_EQ(picked, QStringList{"Rock & Roll"});
    // Nothing handles the Edit commands: all four are greyed.
    EXPECT_EQ(IdsOf(menu(1)), (std::vector<int>{-cmd::EditUndo, 0, -cmd::EditCut, -cmd::EditCopy, -cmd::EditPaste}));
    EXPECT_EQ(IdsOf(menu(2)), (std::vector<int>{cmd::SoundLoop, cmd::SoundOneShot, 0, 0}));
    EXPECT_EQ(IdsOf(menu(3)), (std::vector<int>{cmd::ViewToolbar, cmd::ViewStatusBar, cmd::ViewSpectrum, 0}));
    EXPECT_EQ(IdsOf(menu(3)->actions().last()->menu()),
              (std::vector<int>{cmd::ViewZoom100, cmd::ViewZoom125, cmd::ViewZoom150, cmd::ViewZoom200}));
    EXPECT_EQ(IdsOf(menu(4)), (std::vector<int>{cmd::AppAbout}));

    // Recent files replace the placeholder and escape ampersands (the app test chooses them).
    frame.SetRecentFiles({"/tmp/b&w.wav", "/data/rain.wav"});
    EXPECT_EQ(IdsOf(menu(0)).at(9), cmd::FileMruFirst + 1);
    EXPECT_TRUE(frame.RecentFileActions().at(0)->text().contains("b&&w.wav"));
    frame.SetRecentFiles({});
    EXPECT_TRUE(frame.RecentFileActions().isEmpty());
    EXPECT_EQ(IdsOf(menu(0)).at(8), -cmd::FileMruFirst);
}

TEST(CCorvaneMainFrame, PromptsOnHoverNoTooltipsOnTheSoundButtonsAcceleratorsAndViewToggles)
{
    ShownFrame frame;
    EXPECT_TRUE(frame.Status().isEmpty());
    // A menu item's prompt shows while it is highlighted and goes when the menu closes.
    QMenu* file = frame.menuBar()->actions().at(0)->menu();
    frame.menuBar()->setActiveAction(file->menuAction());
    ASSERT_TRUE(QTest::qWaitForWindowExposed(file));
    file->setActiveAction(frame.Action(cmd::AppExit));
    EXPECT_TRUE(!frame.Status().isEmpty() && frame.Status() == frame.Action(cmd::AppExit)->statusTip());
    file->close();
    frame.menuBar()->setActiveAction(nullptr);
    QApplication::processEvents();
    EXPECT_TRUE(frame.Status().isEmpty());
    QToolBar* bar = frame.ToolBar();
    EXPECT_EQ(bar->actions(), QList<QAction*>({frame.Action(cmd::SoundLoop), frame.Action(cmd::SoundOneShot)}));
    EXPECT_EQ(bar->iconSize(), QSize(16, 15));
    for (int id : {cmd::SoundLoop, cmd::SoundOneShot}) {
        QWidget* button = bar->widgetForAction(frame.Action(id));
        QHelpEvent help(QEvent::ToolTip, QPoint(2, 2), button->mapToGlobal(QPoint(2, 2)));
        QApplication::sendEvent(button, &help);
        EXPECT_TRUE(QToolTip::text().isEmpty()) << id;
        QTest::mouseMove(button, QPoint(4, 4));
        EXPECT_TRUE(!frame.Status().isEmpty() && frame.Status() == frame.Action(id)->statusTip()) << id;
    }

    std::vector<int> commands;
    QObject::connect(&frame, &CCorvaneMainFrame::Command, [&](int id) { commands.push_back(id); });
    frame.Action(cmd::SoundOneShot)->trigger();
    for (Qt::Key key : {Qt::Key_N, Qt::Key_O, Qt::Key_S, Qt::Key_Z}) // Undo (Z) is greyed: nothing happens
        QTest::keyClick(&frame, key, Qt::ControlModifier);
    EXPECT_EQ(commands, (std::vector<int>{cmd::SoundOneShot, cmd::FileNew, cmd::FileOpen, cmd::FileSave}));

    // The View items' check marks follow the bars, however they were hidden.
    QAction* toolbar = frame.Action(cmd::ViewToolbar);
    QAction* status = frame.Action(cmd::ViewStatusBar);
    status->trigger();
    EXPECT_FALSE(frame.statusBar()->isVisible() || status->isChecked());
    frame.ToolBar()->hide(); // from the toolbar's context menu
    EXPECT_FALSE(toolbar->isChecked());
    toolbar->trigger();
    EXPECT_TRUE(frame.ToolBar()->isVisible() && toolbar->isChecked());
    frame.hide(); // hiding the whole window is not hiding the bars
    EXPECT_TRUE(toolbar->isChecked() && !status->isChecked());

    bool closed = false;
    QObject::connect(&frame, &CCorvaneMainFrame::Closed, [&] { closed = true; });
    frame.Action(cmd::AppExit)->trigger();
    EXPECT_TRUE(closed);
}

TEST(CCorvaneMainFrame, TitleAndLockIndicators)
{
    EXPECT_EQ(CCorvaneMainFrame::ComposeTitle("", "Corvane"), "Corvane");
    ShownFrame frame;

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
    const QImage loop = corvane::LoopButtonImage(), oneShot = corvane::OneShotButtonImage();
    ASSERT_TRUE(loop.size() == QSize(16, 15) && oneShot.size() == loop.size());
    const auto black = [](const QImage& image, int x, int y) { return image.pixel(x, y) == qRgb(0, 0, 0); };
    EXPECT_EQ(qAlpha(loop.pixel(0, 0)), 0);
    EXPECT_TRUE(black(loop, 10, 7) && !black(loop, 10, 6) && !black(loop, 4, 0)); // a point on the middle row
    // Rows symmetric about the middle, widening to it; the one-shot image has the same rows left
    // of a gap, then a bar.
    const auto width = [&](const QImage& image, int y, int toX) {
        int n = 0;
        for (int x = 0; x <= toX; ++x)
            n += black(image, x, y);
        return n;
    };
    for (int y = 0; y < 15; ++y) {
        EXPECT_EQ(width(loop, y, 15), width(loop, 14 - y, 15)) << y;
        EXPECT_EQ(width(oneShot, y, 9), width(loop, y, 15)) << y;
        EXPECT_LE(width(loop, y, 15), width(loop, 7, 15)) << y;
    }
    EXPECT_FALSE(black(oneShot, 9, 7));
    for (int y = 3; y <= 11; ++y)
        EXPECT_TRUE(black(oneShot, 10, y) && black(oneShot, 11, y)) << y;
}

TEST(CSoundOutputMenu, DeviceEntriesTheRememberedChoiceAndTheRetryNotice)
{
    using Menu = corvane::CSoundOutputMenu;
    const auto texts = [](const QList<Menu::Entry>& entries) {
        QStringList t;
        for (const Menu::Entry& e : entries)
            t << (e.enabled ? "" : "~") + e.text + "=" + e.device;
        return t;
    };
    EXPECT_EQ(texts(Menu::Entries({"hw:0", "USB"}, "ALSA")),
              QStringList({"System Default=", "hw:0=hw:0", "USB=USB"}));
    EXPECT_EQ(texts(Menu::Entries({"PulseAudio"}, "PulseAudio")),
              QStringList({"System Default=", "~PulseAudio offers one device only="}));
    EXPECT_EQ(texts(Menu::Entries({}, "")).size(), 2);

    QStandardPaths::setTestModeEnabled(true);
    QSettings("Quellstone", "Corvane").setValue("Sound/Output Device", "USB");
    CCorvaneMainFrame frame;
    auto* menu = frame.findChild<QMenu*>("OutputDeviceMenu");
    EXPECT_EQ(corvane::platform::OutputDevices::Instance().Choice(), "USB"); // remembered
    emit menu->aboutToShow();
    ASSERT_EQ(menu->actions().size(), 2);
    menu->actions().at(0)->trigger(); // System Default
    EXPECT_EQ(corvane::platform::OutputDevices::Instance().Choice(), "");
    EXPECT_EQ(QSettings("Quellstone", "Corvane").value("Sound/Output Device").toString(), "");
    // The notice shows while an output finds no sound system, and goes with it.
    auto* notice = frame.findChild<QLabel*>("SoundOutputNotice");
    EXPECT_EQ(notice->text(), "No sound output - retrying");
    EXPECT_FALSE(notice->isVisibleTo(&frame));
    auto* device = new corvane::platform::MixerDevice(corvane::platform::AudioBackend::RtAudio);
    device->SetStreamFactory([] { return std::unique_ptr<corvane::platform::IOutputStream>(); }, {}); // none opens
    ASSERT_EQ(device->Initialize(nullptr), DS_OK);
    auto* watcher = frame.findChild<Menu*>();
    watcher->UpdateNotice();
    EXPECT_TRUE(notice->isVisibleTo(&frame));
    device->Release();
    watcher->UpdateNotice();
    EXPECT_FALSE(notice->isVisibleTo(&frame));
}
