// The sleep timer's length on the command line: `--sleep 90`, `--sleep 45m`, `--sleep=1h30m`.
#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace corvane {
// Seconds for a duration: a plain number of seconds, or numbers with the units h, m and s in
// that order, each at most once ("90s", "45m", "1h30m", "0.5h"). Nothing for an empty, zero,
// negative or unreadable value, an unknown unit, trailing characters, or more than 24 hours.
std::optional<double> ParseSleepDuration(const QString& text);

struct SleepRequest {
    std::optional<double> seconds; // set when --sleep was given and valid
    QString error;                  // one line naming --sleep and the value when it is not
};
// Finds --sleep among the program's arguments (program name first), in either form.
SleepRequest SleepFromArguments(const QStringList& arguments);
} // namespace corvane
