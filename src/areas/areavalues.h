#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// The text forms of coordinates, exclusion rectangles and flattening areas as they stand in the
// library and in Scenery.cfg, and the conversion between that text and the rows of the area
// editor. The stored decimal point is always "." whatever the user's locale.

enum class CoordinateKind { Latitude, Longitude };

// A decimal number: optional sign, digits, optionally "." and more digits.
bool isNumericText(const QString &text);

// One coordinate item ("N47 30.50", "W122 07.25"); true when the item is wrong.
bool checkErrorItem(const QString &item, CoordinateKind kind);

// A well-formed item in signed degrees: north and east positive ("S33 30.00" is -33.5).
std::optional<double> itemDegrees(const QString &item, CoordinateKind kind);

// A list of n items, latitudes at the odd positions (counting from 1); true when wrong.
bool CheckErrorCoordinate(const QString &text, int n);
// "lat,lon,lat,lon,class[,class]"; true when wrong.
bool CheckErrorExclude(const QString &text);
// "elevation,lat,lon,...(eight items)"; true when wrong.
bool CheckErrorFlatten(const QString &text);

// One row of the area editor, in the editor's own field forms: the hemisphere letter ("" while
// none is chosen), the degrees with one character per digit position ("47", "5_", "005", "___";
// "_" marks an unfilled position) and the minutes "00.00" ("__.__" while unfilled).
struct AreaRow
{
    QString hemisphere;
    QString degrees;
    QString minutes;

    bool operator==(const AreaRow &other) const = default;
};

namespace AreaText {
inline constexpr int RowCount = 8;
inline constexpr QChar Unfilled = QLatin1Char('_');

// Rows are numbered 1 to 8: odd rows latitudes, even rows longitudes.
CoordinateKind rowKind(int row);
int degreePositions(int row);
QStringList hemisphereChoices(int row);
AreaRow emptyRow(int row);

// One item in the form of the given row, or nothing when the row cannot show it.
std::optional<AreaRow> rowFromItem(const QString &item, int row);
// Whether a row holds nothing at all: no hemisphere, no digit.
bool isUnfilled(const AreaRow &row);
// Loads a list of 4 or 8 items into editor rows (4 or 8 of them, in the canonical form).
// Throws LmError "Wrong coordinate" (source "Area") when the text is shorter than 2 characters or
// does not fit the rows; nothing is half-loaded then.
QList<AreaRow> rowsFromText(const QString &text);
// The text of the first count rows; a row that holds nothing gives an empty item.
QString textFromRows(const QList<AreaRow> &rows, int count);
} // namespace AreaText
