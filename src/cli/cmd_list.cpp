// list and sets: what the library holds, in the order the window shows it.

#include "cli/clilibrary.h"
#include "cli/clisession.h"
#include "cli/commands.h"
#include "library/scenerymanager.h"
#include "tree/librarytree.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

QCommandLineOption jsonOption()
{
    return QCommandLineOption(QStringLiteral("json"), QStringLiteral("Print one JSON array."));
}

// A JSON string as QJsonDocument writes it. Plain printable ASCII, by far the most common, is
// written here; any other text is left to Qt, so that its escapes stay exactly Qt's.
void appendJsonString(QByteArray &out, const QString &text)
{
    bool plain = true;
    for (QChar c : text) {
        if (c.unicode() < 0x20 || c.unicode() > 0x7e) {
            plain = false;
            break;
        }
    }
    if (!plain) {
        const QByteArray array = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
        out += QByteArrayView(array).sliced(1, array.size() - 2); // without the brackets
        return;
    }
    out += '"';
    for (QChar c : text) {
        const char ch = char(c.unicode());
        if (ch == '"' || ch == '\\')
            out += '\\';
        out += ch;
    }
    out += '"';
}

// The array QJsonDocument writes indented (objects with their keys in order, four spaces a level),
// written one scenery at a time, so that the memory it takes does not grow with the library.
void writeJsonArray(QTextStream &out, const QList<SceneryPtr> &sceneries)
{
    out << "[\n";
    QByteArray element;
    for (qsizetype i = 0; i < sceneries.size(); ++i) {
        const clsScenery &s = *sceneries.at(i);
        element.clear();
        element += "    {\n";
        auto key = [&](const char *name) {
            element += "        \"";
            element += name;
            element += "\": ";
        };
        auto text = [&](const char *name, const QString &value) {
            key(name);
            appendJsonString(element, value);
            element += ",\n";
        };
        auto number = [&](const char *name, qint16 value) {
            key(name);
            element += QByteArray::number(value);
            element += ",\n";
        };
        auto truth = [&](const char *name, bool value) {
            key(name);
            element += value ? "true,\n" : "false,\n";
        };
        truth("active", s.Active);
        text("author", s.Author);
        text("comment", s.Comment);
        text("exclude", s.Exclude);
        key("flatten");
        element += "[\n";
        for (qint16 pos = 0; pos < clsScenery::FlattenCount; ++pos) {
            element += "            ";
            appendJsonString(element, s.Flatten(pos));
            element += pos + 1 < clsScenery::FlattenCount ? ",\n" : "\n";
        }
        element += "        ],\n";
        number("flySim", s.FlySim);
        text("group", s.Group);
        number("groupId", s.GroupID);
        text("id", s.ID);
        truth("inCFG", s.InCFG);
        truth("isLocalPath", s.IsLocalPath);
        text("key", s.Key);
        number("layer", s.Layer);
        text("level", LibraryTree::getParentKey(s.Key));
        text("localPath", s.LocalPath);
        text("previousKey", s.PreviousKey);
        text("remotePath", s.RemotePath);
        truth("required", s.Required);
        number("salesType", s.SalesType);
        number("textureId", s.Texture_ID);
        text("title", s.Title);
        key("version");
        appendJsonString(element, s.Version);
        element += i + 1 < sceneries.size() ? "\n    },\n" : "\n    }\n";
        out << element;
    }
    out << "]\n";
}

// "LevelEurope\Germany" reads as "Europe\Germany".
QString levelPath(const QString &sceneryKey)
{
    return LibraryTree::getParentKey(sceneryKey).mid(LibraryNames::LevelPrefix.size());
}

QString flags(const clsScenery &s)
{
    QString text;
    text += s.Active ? QLatin1Char('A') : QLatin1Char('-');
    text += s.Required ? QLatin1Char('R') : QLatin1Char('-');
    text += s.InCFG ? QLatin1Char('C') : QLatin1Char('-');
    text += s.IsLocalPath ? QLatin1Char('-') : QLatin1Char('X');
    return text;
}

// Columns grow with their longest text up to this width; a longer text is printed whole and only
// its own row runs wider, so one very long title cannot pad every other row to its length.
constexpr qsizetype MaxColumnWidth = 48;

void printTable(QTextStream &out, const QList<SceneryPtr> &sceneries)
{
    const QString levelHeader = QStringLiteral("Level");
    const QString titleHeader = QStringLiteral("Title");
    qsizetype levelWidth = levelHeader.size();
    qsizetype titleWidth = titleHeader.size();
    for (const SceneryPtr &s : sceneries) {
        levelWidth = qMin(qMax(levelWidth, levelPath(s->Key).size()), MaxColumnWidth);
        titleWidth = qMin(qMax(titleWidth, s->Title.size()), MaxColumnWidth);
    }
    const auto row = [&](const QString &level, const QString &title, const QString &flagText) {
        out << level.leftJustified(levelWidth) << QStringLiteral("  ") << title.leftJustified(titleWidth)
            << QStringLiteral("  ") << flagText << QLatin1Char('\n');
    };
    row(levelHeader, titleHeader, QStringLiteral("Flags"));
    for (const SceneryPtr &s : sceneries)
        row(levelPath(s->Key), s->Title, flags(*s));
    out << sceneries.size()
        << (sceneries.size() == 1 ? QStringLiteral(" scenery") : QStringLiteral(" sceneries"))
        << QStringLiteral(".  Flags: A active, R required, C in Scenery.cfg, X remote folder only.\n");
}

} // namespace

void setupList(QCommandLineParser &parser)
{
    parser.addOption(jsonOption());
    parser.addOption(QCommandLineOption(QStringLiteral("set"),
                                        QStringLiteral("Only the members of this set (\"(Current)\" for the "
                                                       "simulator's Scenery.cfg)."),
                                        QStringLiteral("name")));
}

int runList(CliCommandRun &run)
{
    if (!run.args.positionalArguments().isEmpty()) {
        run.err << QStringLiteral("lumivale-cli list: takes no arguments (see --help).") << Qt::endl;
        return CliUsageError;
    }
    CliLibrary library(run.session(), run.options.simType);
    library.load();

    QList<SceneryPtr> sceneries = library.sceneriesInTreeOrder();
    if (run.args.isSet(QStringLiteral("set"))) {
        const QString name = run.args.value(QStringLiteral("set"));
        const CfgPtr set = library.set(name);
        if (!set)
            throw CliFailure{QStringLiteral("there is no set \"%1\".").arg(name)};
        QList<SceneryPtr> members;
        for (const SceneryPtr &s : sceneries) {
            if (set->colUsedSceneries.contains(s->Title))
                members.append(s);
        }
        sceneries = members;
    }

    if (run.args.isSet(QStringLiteral("json"))) {
        writeJsonArray(run.out, sceneries);
        return 0;
    }
    printTable(run.out, sceneries);
    return 0;
}

void setupSets(QCommandLineParser &parser)
{
    parser.addOption(jsonOption());
}

int runSets(CliCommandRun &run)
{
    if (!run.args.positionalArguments().isEmpty()) {
        run.err << QStringLiteral("lumivale-cli sets: takes no arguments (see --help).") << Qt::endl;
        return CliUsageError;
    }
    CliLibrary library(run.session(), run.options.simType);
    library.load();
    const SceneryManager &manager = library.manager();

    if (run.args.isSet(QStringLiteral("json"))) {
        QJsonArray array;
        for (auto it = manager.dicCFGs.begin(); it != manager.dicCFGs.end(); ++it) {
            const clsCFG &set = **it;
            QJsonArray members;
            for (const QString &title : set.colUsedSceneries)
                members.append(title);
            array.append(QJsonObject{{QStringLiteral("name"), it.key()},
                                     {QStringLiteral("sim"), set.Cache_Size},
                                     {QStringLiteral("members"), members}});
        }
        run.out << QJsonDocument(array).toJson(QJsonDocument::Indented);
        return 0;
    }

    for (auto it = manager.dicCFGs.begin(); it != manager.dicCFGs.end(); ++it) {
        const clsCFG &set = **it;
        const qsizetype count = set.colUsedSceneries.count();
        run.out << it.key();
        // "(Current)" stands for the simulator's file, whatever simulator number it carries.
        if (it.key() != LibraryNames::CurrentSet)
            run.out << QStringLiteral("  (sim %1)").arg(set.Cache_Size);
        run.out << QStringLiteral("  %1 %2").arg(count).arg(count == 1 ? QStringLiteral("member")
                                                                       : QStringLiteral("members"))
                << QLatin1Char('\n');
        for (const QString &title : set.colUsedSceneries)
            run.out << QStringLiteral("    ") << title << QLatin1Char('\n');
    }
    return 0;
}
