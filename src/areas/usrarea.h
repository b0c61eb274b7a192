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

    // The rows as text: 4 items in exclusion mode, 8 otherwise.
    QString Area() const;
    // Loads a text of 4 or 8 items; on failure (LmError "Wrong coordinate") no row changes.
    void setArea(const QString &text);
    // True: exclusion mode, rows 5 to 8 disabled. False: flattening mode, all rows enabled.
    void setIsExclude(bool isExclude);

signals:
    // Any row's content or the mode changed.
    void changed();

private:
    AreaRow &at(int row);

    QList<AreaRow> m_rows;
    bool m_isExclude = false;
};
