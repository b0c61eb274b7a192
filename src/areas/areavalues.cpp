#include "areas/areavalues.h"

#include "platform/lmerror.h"
#include "platform/winpath.h"

#include <QRegularExpression>

#include <optional>

namespace {
const QChar Blank = QLatin1Char(' ');

using WinPath::trimBlanks;

// "N 47 30.00" was typed often enough that blanks right after the hemisphere are dropped.
void dropBlanksAfterFirst(QString &text)
{
    while (text.size() > 1 && text.at(1) == Blank)
        text.remove(1, 1);
}

const QRegularExpression &numericPattern()
{
    static const QRegularExpression pattern(QStringLiteral("^([+-]?)([0-9]+)(?:\\.([0-9]+))?$"));
    return pattern;
}

struct ItemPieces
{
    QString hemisphere;
    QString degrees;
    QString minutes;
};

// Splits one item the way both the check and the editor read it, so that what the check accepts
// is also what the editor shows.
std::optional<ItemPieces> splitItem(const QString &item)
{
    QString text = trimBlanks(item);
    if (text.size() < 2)
        return std::nullopt;
    dropBlanksAfterFirst(text);
    QStringList pieces = trimBlanks(text).split(Blank);
    // "N47 30 50" is minutes 30.50 written with a blank for the point.
    if (pieces.size() == 3) {
        pieces[1] = pieces.at(1) + QLatin1Char('.') + pieces.at(2);
        pieces.removeLast();
    }
    if (pieces.size() > 2)
        return std::nullopt;
    ItemPieces result;
    result.hemisphere = pieces.at(0).left(1).toUpper();
    result.degrees = pieces.at(0).mid(1);
    result.minutes = pieces.size() == 2 ? pieces.at(1) : QStringLiteral("0");
    return result;
}

// A non-negative decimal read exactly from its text, so rounding to hundredths does not suffer
// from binary fractions (30.005 must round up).
struct Decimal
{
    qint64 whole = 0;
    QString fraction; // the digits after the point
};

std::optional<Decimal> parseDecimal(const QString &text)
{
    const QRegularExpressionMatch m = numericPattern().match(text);
    if (!m.hasMatch())
        return std::nullopt;
    QString digits = m.captured(2);
    while (digits.size() > 1 && digits.startsWith(QLatin1Char('0')))
        digits.remove(0, 1);
    if (digits.size() > 12)
        return std::nullopt;
    Decimal d;
    d.whole = digits.toLongLong();
    d.fraction = m.captured(3);
    const bool zero = d.whole == 0 && !d.fraction.contains(QRegularExpression(QStringLiteral("[1-9]")));
    if (m.captured(1) == QStringLiteral("-") && !zero)
        return std::nullopt;
    return d;
}

// value * 100, rounded half away from zero (the value is not negative, so half up).
qint64 hundredths(const Decimal &d)
{
    const QString f = (d.fraction + QStringLiteral("000")).left(3);
    qint64 h = d.whole * 100 + f.left(2).toLongLong();
    if (f.at(2) >= QLatin1Char('5'))
        ++h;
    return h;
}

// The fraction of a degree as hundredths of a minute, rounded half up.
qint64 fractionAsMinuteHundredths(const Decimal &d)
{
    const QString f = d.fraction.left(9);
    if (f.isEmpty())
        return 0;
    qint64 scale = 1;
    for (qsizetype i = 0; i < f.size(); ++i)
        scale *= 10;
    const qint64 scaled = f.toLongLong() * 6000;
    qint64 result = scaled / scale;
    if ((scaled % scale) * 2 >= scale)
        ++result;
    return result;
}

LmError wrongCoordinate()
{
    return LmError::user(1, QStringLiteral("Wrong coordinate"), QStringLiteral("Area"));
}

} // namespace

std::optional<AreaRow> AreaText::rowFromItem(const QString &item, int row)
{
    const std::optional<ItemPieces> pieces = splitItem(item);
    if (!pieces || !AreaText::hemisphereChoices(row).contains(pieces->hemisphere))
        return std::nullopt;
    const std::optional<Decimal> degrees = parseDecimal(pieces->degrees);
    const std::optional<Decimal> minutes = parseDecimal(pieces->minutes);
    if (!degrees || !minutes)
        return std::nullopt;

    qint64 wholeDegrees = degrees->whole;
    qint64 minuteHundredths = hundredths(*minutes);
    if (!degrees->fraction.isEmpty()) {
        // The rows have whole degrees only: the fraction moves into the minutes instead of being
        // rounded away, so N47.5 is shown as N47 30.00 and not as N48.
        const qint64 total = wholeDegrees * 6000 + fractionAsMinuteHundredths(*degrees) + minuteHundredths;
        wholeDegrees = total / 6000;
        minuteHundredths = total % 6000;
    } else if (minutes->whole < 60 && minuteHundredths >= 6000) {
        // 59.996 would round to 60.00, which no longer passes the check the value passed.
        minuteHundredths = 5999;
    }

    const int positions = AreaText::degreePositions(row);
    const QString degreeDigits = QString::number(wholeDegrees);
    if (degreeDigits.size() > positions || minuteHundredths >= 10000)
        return std::nullopt;

    AreaRow result;
    result.hemisphere = pieces->hemisphere;
    result.degrees = AreaText::rowKind(row) == CoordinateKind::Latitude
                         ? degreeDigits.leftJustified(positions, AreaText::Unfilled)
                         : degreeDigits.rightJustified(positions, QLatin1Char('0'));
    result.minutes = QStringLiteral("%1.%2")
                         .arg(minuteHundredths / 100, 2, 10, QLatin1Char('0'))
                         .arg(minuteHundredths % 100, 2, 10, QLatin1Char('0'));
    return result;
}

bool isNumericText(const QString &text)
{
    return numericPattern().match(text).hasMatch();
}

bool checkErrorItem(const QString &item, CoordinateKind kind)
{
    const std::optional<ItemPieces> pieces = splitItem(item);
    if (!pieces || !isNumericText(pieces->degrees) || !isNumericText(pieces->minutes))
        return true;
    const bool latitude = kind == CoordinateKind::Latitude;
    const QStringList hemispheres = latitude ? QStringList{QStringLiteral("N"), QStringLiteral("S")}
                                             : QStringList{QStringLiteral("E"), QStringLiteral("W")};
    if (!hemispheres.contains(pieces->hemisphere))
        return true;
    const double degrees = pieces->degrees.toDouble();
    const double minutes = pieces->minutes.toDouble();
    const double maxDegrees = latitude ? 90.0 : 180.0;
    return degrees < 0.0 || degrees > maxDegrees || minutes < 0.0 || minutes >= 60.0;
}

std::optional<double> itemDegrees(const QString &item, CoordinateKind kind)
{
    if (checkErrorItem(item, kind))
        return std::nullopt;
    const std::optional<ItemPieces> pieces = splitItem(item);
    const double value = pieces->degrees.toDouble() + pieces->minutes.toDouble() / 60.0;
    const bool negative =
        pieces->hemisphere == QLatin1String("S") || pieces->hemisphere == QLatin1String("W");
    return negative ? -value : value;
}

bool CheckErrorCoordinate(const QString &text, int n)
{
    const QStringList items = text.split(QLatin1Char(','));
    if (items.size() != n)
        return true;
    for (qsizetype i = 0; i < items.size(); ++i) {
        const CoordinateKind kind = i % 2 == 0 ? CoordinateKind::Latitude : CoordinateKind::Longitude;
        if (checkErrorItem(items.at(i), kind))
            return true;
    }
    return false;
}

bool CheckErrorExclude(const QString &text)
{
    const QStringList items = text.split(QLatin1Char(','));
    if (items.size() < 5 || items.size() > 6)
        return true;
    // A substring test: an abbreviated class such as "OBJ" has always been accepted.
    const QString first = items.at(4).toUpper();
    if (first.isEmpty() || !QStringLiteral("VORS,NDBS,OBJECTS,ALL").contains(first))
        return true;
    if (items.size() == 6) {
        const QString second = items.at(5).toUpper();
        if (second.isEmpty() || !QStringLiteral("VORS,NDBS,OBJECTS").contains(second))
            return true;
    }
    return CheckErrorCoordinate(items.mid(0, 4).join(QLatin1Char(',')), 4);
}

bool CheckErrorFlatten(const QString &text)
{
    const qsizetype comma = text.indexOf(QLatin1Char(','));
    if (comma < 0)
        return true;
    const QString elevation = text.left(comma);
    if (!isNumericText(elevation))
        return true;
    const double value = elevation.toDouble();
    if (value < -2000.0 || value > 99999.0)
        return true;
    return CheckErrorCoordinate(text.mid(comma + 1), 8);
}

namespace AreaText {

CoordinateKind rowKind(int row)
{
    return row % 2 == 1 ? CoordinateKind::Latitude : CoordinateKind::Longitude;
}

int degreePositions(int row)
{
    return rowKind(row) == CoordinateKind::Latitude ? 2 : 3;
}

QStringList hemisphereChoices(int row)
{
    if (rowKind(row) == CoordinateKind::Latitude)
        return {QStringLiteral("N"), QStringLiteral("S")};
    return {QStringLiteral("E"), QStringLiteral("W")};
}

AreaRow emptyRow(int row)
{
    return AreaRow{QString(), QString(degreePositions(row), Unfilled), QStringLiteral("__.__")};
}

QList<AreaRow> rowsFromText(const QString &text)
{
    QString whole = trimBlanks(text);
    if (whole.size() < 2)
        throw wrongCoordinate();
    dropBlanksAfterFirst(whole);
    const QStringList items = whole.split(QLatin1Char(','));
    // Any other count would leave rows without an item or drop items on the way back.
    if (items.size() != 4 && items.size() != RowCount)
        throw wrongCoordinate();
    QList<AreaRow> rows;
    for (qsizetype i = 0; i < items.size(); ++i) {
        const std::optional<AreaRow> row = rowFromItem(items.at(i), int(i) + 1);
        if (!row)
            throw wrongCoordinate();
        rows.append(*row);
    }
    return rows;
}

bool isUnfilled(const AreaRow &row)
{
    return row.hemisphere.isEmpty() && !row.degrees.contains(QRegularExpression(QStringLiteral("[0-9]"))) &&
           !row.minutes.contains(QRegularExpression(QStringLiteral("[0-9]")));
}

QString textFromRows(const QList<AreaRow> &rows, int count)
{
    QStringList items;
    for (qsizetype i = 0; i < count && i < rows.size(); ++i) {
        const AreaRow &row = rows.at(i);
        if (isUnfilled(row)) {
            items.append(QString());
            continue;
        }
        items.append(row.hemisphere + QString(row.degrees).remove(Unfilled) + Blank +
                     QString(row.minutes).replace(QLatin1Char(','), QLatin1Char('.')));
    }
    return items.join(QLatin1Char(','));
}

} // namespace AreaText
