// Safe printf-style formatting of one number for the controls' display formats.
#pragma once

#include <QString>

namespace corvane::controls {

// Formats `value` with a printf format holding one numeric conversion ("%0.3f", "%.3d",
// "%ld°"). The argument is passed as the type the conversion expects (a double for
// f/e/g/a, the truncated value as an integer for d/i/u/x/o/c), so a format that does not
// match the caller's number can never read a wrong argument. "%%" gives "%". Anything that is
// not such a conversion (a second conversion, "%s", "%*d", a lone "%") is copied literally.
QString FormatNumber(const QString& format, double value);

} // namespace corvane::controls
