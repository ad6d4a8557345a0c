// The sleep timer's length on the command line.
#include "app/SleepDuration.h"

#include <QRegularExpression>

#include <cmath>

namespace corvane {
namespace {
constexpr double kMaxSeconds = 86400.0;
const QString kOption = QStringLiteral("--sleep");
} // namespace

std::optional<double> ParseSleepDuration(const QString& text)
{
    // Digits with an optional fraction; the units, if any, come largest first.
    static const QRegularExpression plain(QStringLiteral("^(\\d+(?:\\.\\d+)?)$"));
    static const QRegularExpression units(
        QStringLiteral("^(?:(\\d+(?:\\.\\d+)?)h)?(?:(\\d+(?:\\.\\d+)?)m)?(?:(\\d+(?:\\.\\d+)?)s)?$"));
    double seconds = 0.0;
    if (const QRegularExpressionMatch m = plain.match(text); m.hasMatch()) {
        seconds = m.captured(1).toDouble();
    } else if (const QRegularExpressionMatch u = units.match(text); u.hasMatch() && !text.isEmpty()) {
        const double scale[] = {3600.0, 60.0, 1.0};
        for (int i = 0; i < 3; ++i)
            if (u.hasCaptured(i + 1))
                seconds += u.captured(i + 1).toDouble() * scale[i];
    } else {
        return std::nullopt;
    }
    if (!(seconds > 0.0) || !std::isfinite(seconds) || seconds > kMaxSeconds)
        return std::nullopt;
    return seconds;
}

SleepRequest SleepFromArguments(const QStringList& arguments)
{
    SleepRequest request;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& arg = arguments[i];
        if (arg == QLatin1String("--"))
            break; // what follows are file names
        QString value;
        if (arg == kOption) {
            if (i + 1 >= arguments.size()) {
                request.error = QStringLiteral("corvane: --sleep: missing duration "
                                               "(accepted: seconds, or e.g. 90s, 45m, 1h30m; at most 24h)");
                return request;
            }
            value = arguments[++i];
        } else if (arg.startsWith(kOption + QLatin1Char('='))) {
            value = arg.mid(kOption.size() + 1);
        } else {
            continue;
        }
        request.seconds = ParseSleepDuration(value);
        if (!request.seconds) {
            request.error = QStringLiteral("corvane: --sleep: invalid duration '%1' "
                                           "(accepted: seconds, or e.g. 90s, 45m, 1h30m; more than 0, at most 24h)")
                                .arg(value);
            return request;
        }
    }
    return request;
}
} // namespace corvane
