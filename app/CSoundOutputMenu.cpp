// Sound > "Output Device": "System Default" and the devices the sound system offers; the choice
// is remembered and applied at once. While no output plays, the status bar says it retries.
#include "app/CSoundOutputMenu.h"

#include "app/CCorvaneApp.h"
#include "platform/OutputDevices.h"

#include <QActionGroup>
#include <QLabel>
#include <QMenu>
#include <QSettings>
#include <QStatusBar>
#include <QTimer>

namespace corvane {

namespace {
const QString kKey = QStringLiteral("Sound/Output Device");
// How often the status bar looks at the output: a lost output shows within half a second.
constexpr int kNoticeIntervalMs = 500;

platform::OutputDevices& Outputs()
{
    return platform::OutputDevices::Instance();
}
} // namespace

CSoundOutputMenu::CSoundOutputMenu(QMenu* sound, QStatusBar* bar, QObject* parent)
    : QObject(parent),
      m_pMenu(sound->addMenu(QStringLiteral("Output &Device"))),
      m_pGroup(new QActionGroup(this)),
      m_pNotice(new QLabel(QStringLiteral("No sound output - retrying"), bar)),
      m_pTimer(new QTimer(this))
{
    m_pMenu->setObjectName(QStringLiteral("OutputDeviceMenu"));
    m_pNotice->setObjectName(QStringLiteral("SoundOutputNotice"));
    m_pNotice->setVisible(false);
    bar->addPermanentWidget(m_pNotice);
    const QSettings settings(CCorvaneApp::kOrganisation, CCorvaneApp::kApplication);
    Outputs().SetChoice(settings.value(kKey).toString().toStdString());
    connect(m_pMenu, &QMenu::aboutToShow, this, &CSoundOutputMenu::Refresh);
    connect(m_pTimer, &QTimer::timeout, this, &CSoundOutputMenu::UpdateNotice);
    m_pTimer->start(kNoticeIntervalMs);
    Refresh();
}

QList<CSoundOutputMenu::Entry> CSoundOutputMenu::Entries(const QStringList& devices,
                                                         const QString& system)
{
    QList<Entry> entries{{QStringLiteral("System Default"), QString()}};
    if (devices.size() > 1) {
        for (const QString& device : devices)
            entries.append({device, device});
    } else {
        const QString who = system.isEmpty() ? QStringLiteral("The sound system") : system;
        entries.append({devices.isEmpty() ? who + QStringLiteral(" offers no other device")
                                          : who + QStringLiteral(" offers one device only"),
                        QString(), false});
    }
    return entries;
}

void CSoundOutputMenu::Refresh()
{
    QStringList devices;
    for (const std::string& d : Outputs().Devices())
        devices.append(QString::fromStdString(d));
    const QString chosen = QString::fromStdString(Outputs().Choice());
    m_pMenu->clear();
    for (const Entry& e : Entries(devices, QString::fromStdString(Outputs().System()))) {
        QAction* action = m_pMenu->addAction(e.text);
        action->setEnabled(e.enabled);
        if (!e.enabled)
            continue;
        action->setCheckable(true);
        action->setChecked(e.device == chosen);
        m_pGroup->addAction(action);
        const QString device = e.device;
        connect(action, &QAction::triggered, this, [this, device] { Choose(device); });
    }
}

void CSoundOutputMenu::Choose(const QString& device)
{
    QSettings settings(CCorvaneApp::kOrganisation, CCorvaneApp::kApplication);
    settings.setValue(kKey, device);
    Outputs().SetChoice(device.toStdString());
}

void CSoundOutputMenu::UpdateNotice()
{
    m_pNotice->setVisible(Outputs().AnyLost());
}

} // namespace corvane
