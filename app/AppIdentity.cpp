// The program's names, version and icons as the desktop sees them.
#include "app/AppIdentity.h"

#include "app/CCorvaneApp.h"

#include <QCoreApplication>
#include <QGuiApplication>

// The icons are compiled into the static app library; its resources must be registered by hand.
static void InitAppResources()
{
    Q_INIT_RESOURCE(corvane);
}

namespace corvane {
namespace {
QIcon IconFromSizes(const QString& name)
{
    InitAppResources();
    QIcon icon;
    for (int side : {16, 32, 48, 64, 128})
        icon.addFile(QStringLiteral(":/corvane/icons/%1-%2.png").arg(name).arg(side), QSize(side, side));
    return icon;
}
} // namespace

void SetApplicationIdentity()
{
    QCoreApplication::setOrganizationName(CCorvaneApp::kOrganisation);
    QCoreApplication::setApplicationName(CCorvaneApp::kApplication);
    QCoreApplication::setApplicationVersion(QStringLiteral(CORVANE_VERSION));
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        QGuiApplication::setDesktopFileName(QStringLiteral("corvane"));
        QGuiApplication::setWindowIcon(ApplicationIcon());
    }
}

QIcon ApplicationIcon()
{
    return IconFromSizes(QStringLiteral("corvane"));
}
} // namespace corvane
