// One-number printf formatting that checks the conversion before handing it to the C library.
#include "controls/PrintfFormat.h"

#include <cmath>
#include <limits>

namespace corvane::controls {

namespace {

long long TruncatedInteger(double value)
{
    if (std::isnan(value))
        return 0;
    if (value >= static_cast<double>(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    if (value <= static_cast<double>(std::numeric_limits<int>::min()))
        return std::numeric_limits<int>::min();
    return static_cast<long long>(value);
}

// Parses a conversion starting at fmt[i] == '%'. On success returns the index just past it and
// fills `spec` with the conversion rebuilt without length modifiers.
qsizetype ParseConversion(const QString& fmt, qsizetype i, QByteArray& spec, QChar& conv)
{
    qsizetype j = i + 1;
    spec = "%";
    const auto at = [&](qsizetype k) { return k < fmt.size() ? fmt.at(k) : QChar(); };
    while (QStringLiteral("-+ #0").contains(at(j)) && !at(j).isNull())
        spec += fmt.at(j++).toLatin1();
    int digits = 0;
    while (at(j).isDigit() && digits < 3) {
        spec += fmt.at(j++).toLatin1();
        ++digits;
    }
    if (at(j).isDigit())
        return -1; // absurd widths are not worth honouring
    if (at(j) == QLatin1Char('.')) {
        spec += fmt.at(j++).toLatin1();
        digits = 0;
        while (at(j).isDigit() && digits < 2) {
            spec += fmt.at(j++).toLatin1();
            ++digits;
        }
        if (at(j).isDigit())
            return -1;
    }
    while (QStringLiteral("hlLqjzt").contains(at(j)) && !at(j).isNull())
        ++j;
    conv = at(j);
    if (conv.isNull() || !QStringLiteral("diouxXcfFeEgGaA").contains(conv))
        return -1;
    spec += conv.toLatin1();
    return j + 1;
}

} // namespace

QString FormatNumber(const QString& format, double value)
{
    QString out;
    bool converted = false;
    qsizetype i = 0;
    while (i < format.size()) {
        const QChar c = format.at(i);
        if (c != QLatin1Char('%')) {
            out += c;
            ++i;
            continue;
        }
        if (i + 1 < format.size() && format.at(i + 1) == QLatin1Char('%')) {
            out += QLatin1Char('%');
            i += 2;
            continue;
        }
        QByteArray spec;
        QChar conv;
        const qsizetype next = converted ? -1 : ParseConversion(format, i, spec, conv);
        if (next < 0) {
            out += c;
            ++i;
            continue;
        }
        if (QStringLiteral("fFeEgGaA").contains(conv)) {
            out += QString::asprintf(spec.constData(), value);
        } else if (conv == QLatin1Char('c')) {
            out += QChar(static_cast<char16_t>(TruncatedInteger(value) & 0xFF));
        } else {
            spec.insert(spec.size() - 1, "ll");
            out += QString::asprintf(spec.constData(), TruncatedInteger(value));
        }
        converted = true;
        i = next;
    }
    return out;
}

} // namespace corvane::controls
