#include "library/vbconvert.h"

#include "platform/lmerror.h"

#include <cmath>
#include <limits>
#include <optional>

namespace VbConvert {
namespace {

LmError overflow()
{
    return LmError(Overflow, QStringLiteral("Overflow"));
}

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

int digitValue(QChar c, int radix)
{
    int v = -1;
    if (isDigit(c))
        v = c.unicode() - '0';
    else if (c >= QLatin1Char('a') && c <= QLatin1Char('f'))
        v = c.unicode() - 'a' + 10;
    else if (c >= QLatin1Char('A') && c <= QLatin1Char('F'))
        v = c.unicode() - 'A' + 10;
    return v >= 0 && v < radix ? v : -1;
}

struct Parsed
{
    double value = 0;
    qsizetype length = 0;  // characters taken; 0 when no number starts the text
};

// "&H" / "&O" numbers: up to 16 bits they read as a signed 16-bit value, up to 32 bits as a signed
// 32-bit value ("&HFFFF" is -1), anything longer does not fit.
Parsed parseRadix(const QString &s)
{
    Parsed result;
    if (s.size() < 2 || s.at(0) != QLatin1Char('&'))
        return result;
    const QChar kind = s.at(1).toUpper();
    const int radix = kind == QLatin1Char('H') ? 16 : kind == QLatin1Char('O') ? 8 : 0;
    if (radix == 0)
        return result;
    qsizetype i = 2;
    quint64 v = 0;
    for (; i < s.size(); ++i) {
        const int d = digitValue(s.at(i), radix);
        if (d < 0)
            break;
        v = v * quint64(radix) + quint64(d);
        if (v > 0xFFFFFFFFull)
            throw overflow();
    }
    result.length = i;
    if (v <= 0xFFFF)
        result.value = double(qint16(quint16(v)));
    else
        result.value = double(qint32(quint32(v)));
    return result;
}

// Sign, digits, fraction and exponent as far as they form a number.
Parsed parseDecimal(const QString &s)
{
    Parsed result;
    QString ascii;
    qsizetype i = 0;
    if (i < s.size() && (s.at(i) == QLatin1Char('+') || s.at(i) == QLatin1Char('-')))
        ascii += s.at(i++);
    qsizetype mantissaDigits = 0;
    while (i < s.size() && isDigit(s.at(i))) {
        ascii += s.at(i++);
        ++mantissaDigits;
    }
    if (i < s.size() && s.at(i) == QLatin1Char('.')) {
        ascii += s.at(i++);
        while (i < s.size() && isDigit(s.at(i))) {
            ascii += s.at(i++);
            ++mantissaDigits;
        }
    }
    if (mantissaDigits == 0)
        return result;
    qsizetype end = i;
    if (i < s.size() && QStringLiteral("eEdD").contains(s.at(i))) {
        qsizetype j = i + 1;
        QString exponent = QStringLiteral("e");
        if (j < s.size() && (s.at(j) == QLatin1Char('+') || s.at(j) == QLatin1Char('-')))
            exponent += s.at(j++);
        qsizetype expDigits = 0;
        while (j < s.size() && isDigit(s.at(j))) {
            exponent += s.at(j++);
            ++expDigits;
        }
        if (expDigits > 0) {
            ascii += exponent;
            end = j;
        }
    }
    bool ok = false;
    const double v = ascii.toDouble(&ok);
    if (!ok || !std::isfinite(v))
        throw overflow();
    result.value = v;
    result.length = end;
    return result;
}

Parsed parseNumber(const QString &s)
{
    Parsed radix = parseRadix(s);
    if (radix.length > 0)
        return radix;
    return parseDecimal(s);
}

// Around a number the classic conversion skips tabs as well as blanks.
QString trimNumberSpace(const QString &text)
{
    qsizetype start = 0;
    qsizetype end = text.size();
    while (start < end && (text.at(start) == QLatin1Char(' ') || text.at(start) == QLatin1Char('\t')))
        ++start;
    while (end > start && (text.at(end - 1) == QLatin1Char(' ') || text.at(end - 1) == QLatin1Char('\t')))
        --end;
    return text.mid(start, end - start);
}

std::optional<double> wholeNumber(const QString &text)
{
    const QString s = trimNumberSpace(text);
    if (s.isEmpty())
        return std::nullopt;
    const Parsed p = parseNumber(s);
    if (p.length != s.size())
        return std::nullopt;
    // "&H" without digits is not a number.
    if (s.startsWith(QLatin1Char('&')) && p.length <= 2)
        return std::nullopt;
    return p.value;
}

template<typename T>
T roundChecked(double value)
{
    if (!std::isfinite(value))
        throw overflow();
    const double r = std::nearbyint(value);  // the default rounding mode takes halves to even
    if (r < double(std::numeric_limits<T>::min()) || r > double(std::numeric_limits<T>::max()))
        throw overflow();
    return T(r);
}

}

double leadingValue(const QString &text)
{
    QString s;
    s.reserve(text.size());
    for (QChar c : text) {
        if (c != QLatin1Char(' ') && c != QLatin1Char('\t') && c != QLatin1Char('\n'))
            s += c;
    }
    return parseNumber(s).value;
}

bool isNumeric(const QString &text)
{
    try {
        return wholeNumber(text).has_value();
    } catch (const LmError &) {
        return false;
    }
}

qint16 toInt16(double value)
{
    return roundChecked<qint16>(value);
}

qint32 toInt32(double value)
{
    return roundChecked<qint32>(value);
}

qint16 textToInt16(const QString &text)
{
    const std::optional<double> v = wholeNumber(text);
    if (!v)
        throw LmError::standard(LmError::TypeMismatch);
    return toInt16(*v);
}

qint32 textToInt32(const QString &text)
{
    const std::optional<double> v = wholeNumber(text);
    if (!v)
        throw LmError::standard(LmError::TypeMismatch);
    return toInt32(*v);
}

bool textToBool(const QString &text)
{
    const QString s = trimNumberSpace(text);
    if (s.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
        return true;
    if (s.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
        return false;
    const std::optional<double> v = wholeNumber(s);
    if (!v)
        throw LmError::standard(LmError::TypeMismatch);
    return *v != 0.0;
}

QString numberText(double value)
{
    if (value == std::trunc(value) && std::fabs(value) < 1e15)
        return QString::number(qint64(value));
    QString text = QString::number(value, 'g', 15);
    text.replace(QLatin1Char('e'), QLatin1Char('E'));
    return text;
}

}
