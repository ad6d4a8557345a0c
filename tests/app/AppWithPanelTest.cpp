// The application with the real synthesizer panel on the manual sound back-end.
#include "app/CCorvaneApp.h"
#include "app/CCorvaneMainFrame.h"
#include "app/CommandIds.h"
#include "app/IPanelView.h"

#include "FakePrompts.h"
#include "audio/CSoundDevice.h"
#include "panel/CCorvaneFormView.h"

#include <QComboBox>
#include <QFile>
#include <QScreen>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>

using corvane::CCorvaneApp;
namespace cmd = corvane::cmd;

namespace {
std::map<int, int> ListSizes(const CCorvaneFormView& panel)
{
    std::map<int, int> sizes;
    for (int id : {1009, 1010, 1012, 1014, 1026, 1027, 1034})
        if (auto* list = panel.GetControlAs<QComboBox>(id))
            sizes[id] = list->count();
    return sizes;
}
} // namespace

TEST(CCorvaneAppWithPanel, NewAndOpenRunTheSetUpAgainWithoutDuplicatingListsOrDevices)
{
    setenv("CORVANE_AUDIO", "manual", 1);
    QTemporaryDir settingsDir;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());
    corvane::test::CFakePrompts prompts;
    CCorvaneFormView* view = nullptr;
    std::vector<std::string> messages;
    CCorvaneApp app(
        [&] {
            view = new CCorvaneFormView;
            view->SetMessageBoxHandler([&](const std::string& text, const std::string&) { messages.push_back(text); });
            return std::make_unique<corvane::CPanelAdapter<CCorvaneFormView>>(view);
        },
        &prompts);
    ASSERT_TRUE(app.InitInstance(QString(), nullptr));
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(messages.empty());
    CSoundDevice* device = view->GetSoundDevice();
    ASSERT_NE(device, nullptr);
    ASSERT_NE(device->FindStream(0), nullptr);
    const std::map<int, int> sizes = ListSizes(*view);
    ASSERT_EQ(sizes.size(), 7u);
    EXPECT_EQ(sizes.at(1010), 4); // generator types
    EXPECT_EQ(sizes.at(1009), 5); // filter types

    // The window is as wide as the whole panel, unless the screen is narrower.
    const int panelWidth = view->widget()->width() + 2 * view->frameWidth();
    const int screenWidth = app.MainFrame()->screen()->availableSize().width();
    EXPECT_EQ(app.MainFrame()->width(), std::min(panelWidth, screenWidth));
    EXPECT_GT(view->widget()->width(), 900);

    view->GetControlAs<QComboBox>(1010)->setCurrentIndex(2);
    app.MainFrame()->Action(cmd::FileNew)->trigger();
    app.MainFrame()->Action(cmd::FileNew)->trigger();
    EXPECT_EQ(ListSizes(*view), sizes);
    EXPECT_EQ(view->GetControlAs<QComboBox>(1010)->currentIndex(), 0);
    EXPECT_EQ(view->GetSoundDevice(), device);
    EXPECT_NE(device->FindStream(0), nullptr);
    EXPECT_EQ(device->FindStream(1), nullptr); // no second stream

    QTemporaryDir files;
    prompts.openAnswer = files.filePath("calm.wav");
    QFile(prompts.openAnswer).open(QIODevice::WriteOnly);
    app.MainFrame()->Action(cmd::FileOpen)->trigger();
    EXPECT_EQ(app.MainFrame()->windowTitle(), "calm.wav - Corvane");
    EXPECT_EQ(ListSizes(*view), sizes);
    EXPECT_EQ(view->GetSoundDevice(), device);
    EXPECT_EQ(device->FindStream(1), nullptr);
    EXPECT_TRUE(messages.empty());
}
