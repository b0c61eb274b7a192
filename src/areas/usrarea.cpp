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
    for (int row = 1; row <= AreaText::RowCount; ++row) {
        m_rows.append(AreaText::emptyRow(row));
        m_unread.append(QString());
    }
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
        edited(row);
        emit changed();
    }
    return true;
}

void usrArea::edited(int row)
{
    // What the user puts into a row replaces the item it could not show.
    m_unread[row - 1].clear();
}

void usrArea::setDegrees(int row, const QString &text)
{
    AreaRow &r = at(row);
    const QString value = maskDigits(text, AreaText::degreePositions(row));
    if (r.degrees != value) {
        r.degrees = value;
        edited(row);
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
        edited(row);
        emit changed();
    }
}

QString usrArea::Area() const
{
    QStringList items = AreaText::textFromRows(m_rows, rowCount()).split(QLatin1Char(','));
    for (int i = 0; i < rowCount(); ++i) {
        if (!m_unread.at(i).isEmpty())
            items[i] = m_unread.at(i);
    }
    return (items + m_beyond).join(QLatin1Char(','));
}

void usrArea::setArea(const QString &text)
{
    const QStringList items = text.isEmpty() ? QStringList() : text.split(QLatin1Char(','));
    for (int row = 1; row <= AreaText::RowCount; ++row) {
        const QString item = items.value(row - 1);
        const std::optional<AreaRow> shown = AreaText::rowFromItem(item, row);
        m_rows[row - 1] = shown ? *shown : AreaText::emptyRow(row);
        // An empty item is an empty row, nothing to keep.
        m_unread[row - 1] = shown || item.trimmed().isEmpty() ? QString() : item;
    }
    m_beyond = items.mid(AreaText::RowCount);
    emit changed();
}

QString usrArea::unreadItem(int row) const
{
    checkRow(row);
    return m_unread.at(row - 1);
}

QStringList usrArea::unreadItems() const
{
    QStringList items;
    for (int i = 0; i < rowCount(); ++i) {
        if (!m_unread.at(i).isEmpty())
            items.append(m_unread.at(i));
    }
    return items + m_beyond;
}

bool usrArea::isEmpty() const
{
    for (int i = 0; i < rowCount(); ++i) {
        if (!AreaText::isUnfilled(m_rows.at(i)))
            return false;
    }
    return unreadItems().isEmpty();
}

void usrArea::setIsExclude(bool isExclude)
{
    if (m_isExclude == isExclude)
        return;
    m_isExclude = isExclude;
    emit changed();
}
