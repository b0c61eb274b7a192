#include "reports/scenerylistreport.h"

#include <array>

namespace SceneryListReport {

namespace {

const std::array<ColumnDef, ColumnCount> &columnTable()
{
    static const std::array<ColumnDef, ColumnCount> table = [] {
        std::array<ColumnDef, ColumnCount> t{{
            {Column::Group, QStringLiteral("Group"), 5, Align::Left},
            {Column::Id, QStringLiteral("Id"), 10, Align::Left},
            {Column::Title, QStringLiteral("Title"), 50, Align::Left},
            {Column::TextureId, QStringLiteral("TextureId"), 1, Align::Centre},
            {Column::Active, QStringLiteral("Active"), 1, Align::Centre},
            {Column::Required, QStringLiteral("Required"), 1, Align::Centre},
            {Column::GroupId, QStringLiteral("GroupId"), 5, Align::Centre},
            {Column::Local, QStringLiteral("Local"), 20, Align::Left},
            {Column::Remote, QStringLiteral("Remote"), 20, Align::Left},
            {Column::Author, QStringLiteral("Author"), 20, Align::Left},
            {Column::Version, QStringLiteral("Version"), 10, Align::Left},
            {Column::Type, QStringLiteral("Type"), 13, Align::Left},
            {Column::Sim, QStringLiteral("Sim"), 7, Align::Left},
            {Column::Comment, QStringLiteral("Comment"), 50, Align::Left},
            {Column::Exclude, QStringLiteral("Exclude"), 50, Align::Left},
        }};
        for (int pos = 0; pos < clsScenery::FlattenCount; ++pos)
            t[size_t(15 + pos)] = {Column(int(Column::Flatten0) + pos), QStringLiteral("Flatten.%1").arg(pos),
                                   50, Align::Left};
        t[25] = {Column::Level, QStringLiteral("Level"), 20, Align::Left};
        t[26] = {Column::Set, QStringLiteral("Set"), 15, Align::Left};
        return t;
    }();
    return table;
}

QString flag(bool value)
{
    return value ? QStringLiteral("X") : QStringLiteral("-");
}

} // namespace

std::span<const ColumnDef> columns()
{
    return columnTable();
}

const ColumnDef *findColumn(const QString &name)
{
    for (const ColumnDef &def : columnTable()) {
        if (def.name == name)
            return &def;
    }
    return nullptr;
}

QString filterBoxCaption(int bit)
{
    static const std::array<QString, FilterBoxCount> captions{QStringLiteral("FS95"), QStringLiteral("FS98"),
                                                              QStringLiteral("FS2K"), QStringLiteral("FS2K2"),
                                                              QStringLiteral("CFS"),  QStringLiteral("CFS2")};
    return captions.at(size_t(bit));
}

QString formatCell(const QString &value, int width, Align align)
{
    if (width <= 0)
        return QStringLiteral("|");
    QString cell;
    if (align == Align::Centre)
        cell.fill(QLatin1Char(' '), width / 2);
    cell += value.left(width);
    return cell.leftJustified(width, QLatin1Char(' '), true) + QLatin1Char('|');
}

QString simName(qint16 flySim)
{
    static const std::array<QString, FilterBoxCount> names{
        QStringLiteral("FS 95"),   QStringLiteral("FS 98"), QStringLiteral("FS 2000"),
        QStringLiteral("FS 2002"), QStringLiteral("CFS"),   QStringLiteral("CFS 2")};
    QStringList named;
    for (int bit = 0; bit < FilterBoxCount; ++bit) {
        if (flySim & (1 << bit))
            named.append(names.at(size_t(bit)));
    }
    // Bits above the six versions name nothing a reader would know.
    return named.isEmpty() ? QStringLiteral("Unknown") : named.join(QLatin1Char('/'));
}

QString salesTypeName(qint16 salesType)
{
    static const std::array<QString, 6> names{QStringLiteral("Unknown"),       QStringLiteral("Copyleft"),
                                              QStringLiteral("Freeware"),      QStringLiteral("Payware"),
                                              QStringLiteral("Public Domain"), QStringLiteral("Shareware")};
    return salesType >= 0 && salesType < qint16(names.size()) ? names.at(size_t(salesType)) : QString();
}

QString cellValue(Column column, const clsScenery &s, const OrderedMap<CfgPtr> &sets)
{
    switch (column) {
    case Column::Group:
        return s.Group;
    case Column::Id:
        return s.ID;
    case Column::Title:
        return s.Title;
    case Column::TextureId:
        return QString::number(s.Texture_ID);
    case Column::Active:
        return flag(s.Active);
    case Column::Required:
        return flag(s.Required);
    case Column::GroupId:
        return QString::number(s.GroupID);
    case Column::Local:
        return (s.IsLocalPath ? QLatin1Char('>') : QLatin1Char(' ')) + s.LocalPath;
    case Column::Remote:
        return (s.IsLocalPath ? QLatin1Char(' ') : QLatin1Char('>')) + s.RemotePath;
    case Column::Author:
        return s.Author;
    case Column::Version:
        return s.Version;
    case Column::Type:
        return salesTypeName(s.SalesType);
    case Column::Sim:
        return simName(s.FlySim);
    case Column::Comment:
        return s.Comment;
    case Column::Exclude:
        return s.Exclude;
    case Column::Level:
        return s.Key.mid(LibraryNames::SceneryPrefix.size());
    case Column::Set: {
        QString text;
        for (auto it = sets.begin(); it != sets.end(); ++it) {
            if ((*it)->colUsedSceneries.contains(s.Title))
                text += it.key() + QStringLiteral(", ");
        }
        return text;
    }
    default:
        break;
    }
    const int pos = int(column) - int(Column::Flatten0);
    return s.Flatten(qint16(pos));
}

bool bCheckPrint(qint16 flySim, int mask)
{
    return (flySim == 0 && mask == 0) || (flySim & mask) != 0;
}

} // namespace SceneryListReport
