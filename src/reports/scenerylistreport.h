#pragma once

#include "library/orderedmap.h"
#include "library/records.h"

#include <QString>
#include <QStringList>

#include <span>

// The scenery list report as text: one fixed-width line per scenery, in columns chosen by the
// user, each cut or padded to its width and followed by "|".
namespace SceneryListReport {

enum class Align { Left, Centre };

// The 27 columns in their fixed order.
enum class Column {
    Group,
    Id,
    Title,
    TextureId,
    Active,
    Required,
    GroupId,
    Local,
    Remote,
    Author,
    Version,
    Type,
    Sim,
    Comment,
    Exclude,
    Flatten0,
    Flatten9 = Flatten0 + 9,
    Level,
    Set,
};

struct ColumnDef
{
    Column column;
    QString name;
    int defaultWidth;
    Align align;
};

constexpr int ColumnCount = 27;
std::span<const ColumnDef> columns();
// The column of that name ("Flatten.3"), or nullptr.
const ColumnDef *findColumn(const QString &name);

// The simulator version boxes of the filter, bit i for box i.
constexpr int FilterBoxCount = 6;
QString filterBoxCaption(int bit);

// A value cut or padded to the width, then "|". A width of 0 or less gives "|" alone.
QString formatCell(const QString &value, int width, Align align);

// The text of a scenery's cell in that column, before formatting. sets: the library's sets, in
// their order, for the "Set" column.
QString cellValue(Column column, const clsScenery &scenery, const OrderedMap<CfgPtr> &sets);

// The "Sim" cell: "Unknown" without any version, the versions named otherwise, several joined by
// "/" in bit order ("FS 2000/FS 2002").
QString simName(qint16 flySim);
// The "Type" cell: the sales type's name, "" for a number without one.
QString salesTypeName(qint16 salesType);

// Whether the scenery is listed under the filter mask: a scenery without any version only when no
// box is checked, any other one when it shares a version with the mask.
bool bCheckPrint(qint16 flySim, int mask);

} // namespace SceneryListReport
