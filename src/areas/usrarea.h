#pragma once

#include "areas/areavalues.h"

#include <QList>
#include <QObject>
#include <QString>

// The area editor: eight coordinate rows (odd rows latitudes, even rows longitudes; rows 1-2,
// 3-4, 5-6 and 7-8 are the four points). In exclusion mode only the first two points are used.
// Rows are numbered 1 to 8.
class usrArea : public QObject
{
    Q_OBJECT

public:
    explicit usrArea(QObject *parent = nullptr);

    const AreaRow &row(int row) const;
    bool isRowEnabled(int row) const;

    // What the user does in a row. A hemisphere outside the row's choices is refused (false).
    // Degrees and minutes behave like their masked fields: one character per position, a
    // position without a digit is unfilled, text beyond the last position is cut.
    bool setHemisphere(int row, const QString &hemisphere);
    void setDegrees(int row, const QString &text);
    void setMinutes(int row, const QString &text);

    // The rows as text: 4 items in exclusion mode, 8 otherwise. A row still marked unread gives
    // its stored item back unchanged, and items beyond the rows follow at the end.
    QString Area() const;
    // Loads a stored text item by item and never fails: an item its row can show is shown; any
    // other leaves its row empty and marked with the item until the row is edited, and items
    // beyond the eighth are kept as they are.
    void setArea(const QString &text);
    // The stored item a row could not show, "" when it shows its value.
    QString unreadItem(int row) const;
    // Every stored item not shown: the marked rows' (enabled ones) and those beyond the rows.
    QStringList unreadItems() const;
    // True when the enabled rows hold nothing and nothing is kept unread.
    bool isEmpty() const;
    // True: exclusion mode, rows 5 to 8 disabled. False: flattening mode, all rows enabled.
    void setIsExclude(bool isExclude);

signals:
    // Any row's content or the mode changed.
    void changed();

private:
    AreaRow &at(int row);

    int rowCount() const { return m_isExclude ? 4 : AreaText::RowCount; }
    void edited(int row);

    QList<AreaRow> m_rows;
    QStringList m_unread; // per row
    QStringList m_beyond; // items after the eighth
    bool m_isExclude = false;
};
