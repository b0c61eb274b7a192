#include "areas/usrarea.h"

#include "platform/lmerror.h"

namespace {
void checkRow(int row)
{
    if (row < 1 || row > AreaText::RowCount)
        throw LmError::standard(LmError::SubscriptOutOfRange, QStringLiteral("area row %1").arg(row));
}

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// One character per mask position: a digit stays, anything else leaves the position unfilled.
QString maskDigits(const QString &text, qsizetype positions)
{
    QString result(positions, AreaText::Unfilled);
    for (qsizetype i = 0; i < positions && i < text.size(); ++i) {
        if (isDigit(text.at(i)))
            result[i] = text.at(i);
    }
    return result;
}
}

usrArea::usrArea(QObject *parent) : QObject(parent)
{
    for (int row = 1; row <= AreaText::RowCount; ++row)
        m_rows.append(AreaText::emptyRow(row));
}

const AreaRow &usrArea::row(int row) const
{
    checkRow(row);
    return m_rows.at(row - 1);
}

AreaRow &usrArea::at(int row)
{
    checkRow(row);
    return m_rows[row - 1];
}

bool usrArea::isRowEnabled(int row) const
{
    checkRow(row);
    return !m_isExclude || row <= 4;
}

bool usrArea::setHemisphere(int row, const QString &hemisphere)
{
    const QString value = hemisphere.toUpper();
    if (!value.isEmpty() && !AreaText::hemisphereChoices(row).contains(value))
        return false;
    AreaRow &r = at(row);
    if (r.hemisphere != value) {
        r.hemisphere = value;
        emit changed();
    }
    return true;
}

void usrArea::setDegrees(int row, const QString &text)
{
    AreaRow &r = at(row);
    const QString value = maskDigits(text, AreaText::degreePositions(row));
    if (r.degrees != value) {
        r.degrees = value;
        emit changed();
    }
}

void usrArea::setMinutes(int row, const QString &text)
{
    AreaRow &r = at(row);
    // "99.99": the separator is fixed, a "," typed for it is the same point.
    const QString digits = maskDigits(text.left(2), 2) + maskDigits(text.mid(3, 2), 2);
    const QString value = digits.left(2) + QLatin1Char('.') + digits.mid(2);
    if (r.minutes != value) {
        r.minutes = value;
        emit changed();
    }
}

QString usrArea::Area() const
{
    return AreaText::textFromRows(m_rows, m_isExclude ? 4 : AreaText::RowCount);
}

void usrArea::setArea(const QString &text)
{
    const QList<AreaRow> loaded = AreaText::rowsFromText(text);
    for (int row = 1; row <= AreaText::RowCount; ++row)
        m_rows[row - 1] = row <= loaded.size() ? loaded.at(row - 1) : AreaText::emptyRow(row);
    emit changed();
}

void usrArea::setIsExclude(bool isExclude)
{
    if (m_isExclude == isExclude)
        return;
    m_isExclude = isExclude;
    emit changed();
}
