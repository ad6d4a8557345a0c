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

#include <cstdlib>

TEST(CCorvaneAppWithPanel, NewAndOpenRunTheSetUpAgainWithoutDuplicatingListsOrDevices)
{
    setenv("CORVANE_AUDIO", "manual", 1);
    QTemporaryDir settingsDir, files;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());
    corvane::test::CFakePrompts prompts;
    CCorvaneFormView* view = nullptr;
    std::vector<std::string> messages;
    corvane::CCorvaneApp app(
        [&] {
            view = new CCorvaneFormView;
            view->SetMessageBoxHandler([&](const std::string& text, const std::string&) { messages.push_back(text); });
            return std::make_unique<corvane::CPanelAdapter<CCorvaneFormView>>(view);
        },
        &prompts);
    ASSERT_TRUE(app.InitInstance(QString(), nullptr));
    CSoundDevice* device = view->GetSoundDevice();
    ASSERT_NE(device, nullptr);
    ASSERT_NE(device->FindStream(0), nullptr);
    const auto listSizes = [&] {
        std::vector<int> sizes;
        for (int id : {1009, 1010, 1012, 1014, 1026, 1027, 1034})
            sizes.push_back(view->GetControlAs<QComboBox>(id)->count());
        return sizes;
    };
    EXPECT_EQ(listSizes(), (std::vector<int>{5, 5, 5, 2, 4, 4, 4}));

    // The window is as wide as the whole panel, unless the screen is narrower.
    const int screenWidth = app.MainFrame()->screen()->availableSize().width();
    EXPECT_EQ(app.MainFrame()->width(), std::min(view->widget()->width() + 2 * view->frameWidth(), screenWidth));
    EXPECT_GT(view->widget()->width(), 900);

    view->GetControlAs<QComboBox>(1010)->setCurrentIndex(2);
    app.MainFrame()->Action(corvane::cmd::FileNew)->trigger();
    app.MainFrame()->Action(corvane::cmd::FileNew)->trigger();
    EXPECT_EQ(view->GetControlAs<QComboBox>(1010)->currentIndex(), 0);
    prompts.openAnswer = files.filePath("calm.wav");
    QFile(prompts.openAnswer).open(QIODevice::WriteOnly);
    app.MainFrame()->Action(corvane::cmd::FileOpen)->trigger();
    EXPECT_EQ(app.MainFrame()->windowTitle(), "calm.wav - Corvane");
    EXPECT_EQ(listSizes(), (std::vector<int>{5, 5, 5, 2, 4, 4, 4}));
    EXPECT_EQ(view->GetSoundDevice(), device);
    EXPECT_NE(device->FindStream(0), nullptr); // one stream, on the same device
    EXPECT_EQ(device->FindStream(1), nullptr);
    EXPECT_TRUE(messages.empty());
}
