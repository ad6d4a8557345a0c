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
// fills `conversion` with the conversion rebuilt without length modifiers.
qsizetype ParseConversion(const QString& fmt, qsizetype i, QByteArray& conversion, QChar& conv)
{
    qsizetype j = i + 1;
    conversion = "%";
    const auto at = [&](qsizetype k) { return k < fmt.size() ? fmt.at(k) : QChar(); };
    while (QStringLiteral("-+ #0").contains(at(j)) && !at(j).isNull())
        conversion += fmt.at(j++).toLatin1();
    int digits = 0;
    while (at(j).isDigit() && digits < 3) {
        conversion += fmt.at(j++).toLatin1();
        ++digits;
    }
    if (at(j).isDigit())
        return -1; // absurd widths are not worth honouring
    if (at(j) == QLatin1Char('.')) {
        conversion += fmt.at(j++).toLatin1();
        digits = 0;
        while (at(j).isDigit() && digits < 2) {
            conversion += fmt.at(j++).toLatin1();
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
    conversion += conv.toLatin1();
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
        QByteArray conversion;
        QChar conv;
        const qsizetype next = converted ? -1 : ParseConversion(format, i, conversion, conv);
        if (next < 0) {
            out += c;
            ++i;
            continue;
        }
        if (QStringLiteral("fFeEgGaA").contains(conv)) {
            out += QString::asprintf(conversion.constData(), value);
        } else if (conv == QLatin1Char('c')) {
            out += QChar(static_cast<char16_t>(TruncatedInteger(value) & 0xFF));
        } else {
            conversion.insert(conversion.size() - 1, "ll");
            out += QString::asprintf(conversion.constData(), TruncatedInteger(value));
        }
        converted = true;
        i = next;
    }
    return out;
}

} // namespace corvane::controls
