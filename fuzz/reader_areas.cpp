// Exclusion and flattening values on arbitrary bytes: checked as the library and Scenery.cfg
// values are, loaded into the rows of the area editor, and found in a scenery's text files as an
// installation finds them. What the editor loads it must give back as text that loads into the
// same rows.

#include "fuzzfiles.h"
#include "fuzzlibrary.h"
#include "readerchecks.h"

#include "areas/areavalues.h"
#include "install/sceneryinstaller.h"
#include "platform/lmerror.h"

namespace {

QString describe(const QList<AreaRow> &rows)
{
    QStringList parts;
    for (const AreaRow &row : rows)
        parts << row.hemisphere + QLatin1Char('|') + row.degrees + QLatin1Char('|') + row.minutes;
    return parts.join(QLatin1Char(' '));
}

} // namespace

QString checkAreaValues(const QByteArray &input)
{
    FuzzLibrary &library = FuzzLibrary::instance();
    SilentInstallation &inst = library.inst;
    const QByteArray &bytes = input;
    const QString text = Cp1252::decode(bytes);

    CheckErrorExclude(text);
    CheckErrorFlatten(text);
    CheckErrorCoordinate(text, 4);
    CheckErrorCoordinate(text, 8);
    isNumericText(text);
    for (const QString &item : text.split(QLatin1Char(',')).mid(0, 16)) {
        for (const auto kind : {CoordinateKind::Latitude, CoordinateKind::Longitude}) {
            checkErrorItem(item, kind);
            itemDegrees(item, kind);
        }
    }

    QList<AreaRow> rows;
    try {
        rows = AreaText::rowsFromText(text);
    } catch (const LmError &) {
    }
    if (!rows.isEmpty()) {
        const QString back = AreaText::textFromRows(rows, int(rows.size()));
        QList<AreaRow> again;
        try {
            again = AreaText::rowsFromText(back);
        } catch (const LmError &) {
            return finding("the text the editor gives back does not load:", back);
        }
        if (again != rows)
            return finding("the text the editor gives back loads otherwise:",
                           back + QStringLiteral(": ") + describe(rows) + QStringLiteral(" -> ") +
                               describe(again));
    }

    static AppContext context{inst.fs, *inst.settings, inst.ui, inst.program};
    static SceneryInstaller installer(context, *library.manager);
    inst.writeFile(QStringLiteral("C:\\Addon\\Areas\\readme.txt"), bytes);
    clsScenery record;
    record.LocalPath = QStringLiteral("C:\\Addon\\Areas\\");
    installer.scanTextFiles(record);
    return {};
}
