// The View menu's remembered choices in the settings.
#include "app/CViewOptions.h"

#include "app/CommandIds.h"

#include <QSettings>

#include <array>
#include <utility>

namespace corvane {
namespace {
constexpr std::array<std::pair<int, int>, 4> kZoomSteps{{
    {cmd::ViewZoom100, 100}, {cmd::ViewZoom125, 125}, {cmd::ViewZoom150, 150}, {cmd::ViewZoom200, 200}}};
const QString kZoomKey = QStringLiteral("View/Zoom");
const QString kSpectrumKey = QStringLiteral("View/Spectrum");
} // namespace

int ZoomPercentOfCommand(int id)
{
    for (const auto& [command, percent] : kZoomSteps)
        if (command == id)
            return percent;
    return 0;
}

int ZoomCommandOfPercent(int percent)
{
    for (const auto& [command, stepPercent] : kZoomSteps)
        if (stepPercent == percent)
            return command;
    return 0;
}

ViewOptions LoadViewOptions(QSettings& settings, QString* problem)
{
    ViewOptions options;
    QStringList wrong;
    if (settings.contains(kZoomKey)) {
        const QString text = settings.value(kZoomKey).toString();
        bool ok = false;
        const int percent = text.toInt(&ok);
        if (ok && ZoomCommandOfPercent(percent) != 0)
            options.zoomPercent = percent;
        else
            wrong << QStringLiteral("%1=%2 (not 100, 125, 150 or 200)").arg(kZoomKey, text);
    }
    if (settings.contains(kSpectrumKey)) {
        const QString text = settings.value(kSpectrumKey).toString();
        if (text == QLatin1String("true") || text == QLatin1String("false"))
            options.spectrum = text == QLatin1String("true");
        else
            wrong << QStringLiteral("%1=%2 (not true or false)").arg(kSpectrumKey, text);
    }
    if (problem)
        *problem = wrong.isEmpty() ? QString() : QStringLiteral("ignored ") + wrong.join(QStringLiteral(", "));
    return options;
}

void SaveViewOptions(QSettings& settings, const ViewOptions& options)
{
    settings.setValue(kZoomKey, options.zoomPercent);
    settings.setValue(kSpectrumKey, options.spectrum);
}
} // namespace corvane
