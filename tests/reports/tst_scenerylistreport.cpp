// The scenery list report: its cells, header, filter and width prompt, the text of Refresh and
// what Print and Save as PDF hand to the printer.

#include "reports/frmprintscenerylist.h"
#include "support/librarybuilder.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace SceneryListReport;

Q_DECLARE_METATYPE(SceneryListReport::Align)
Q_DECLARE_METATYPE(SceneryFields)
Q_DECLARE_METATYPE(std::optional<QString>)
Q_DECLARE_METATYPE(Outcome::Kind)

namespace {

// Collects what the dialog prints.
class RecordingPrinter : public ReportPrinter
{
public:
    Outcome print(const ReportDocument &document) override
    {
        printed = document;
        return Outcome::done();
    }
    Outcome savePdf(const ReportDocument &document, const QString &hostPath,
                    const QString &shownPath) override
    {
        printed = document;
        savedHost = hostPath;
        savedShown = shownPath;
        return failSave ? Outcome::failed(LmError::standard(LmError::DiskFull, shownPath), shownPath)
                        : Outcome::done();
    }
    std::optional<ReportDocument> printed;
    QString savedHost;
    QString savedShown;
    bool failSave = false;
};

// The report on a library, with the columns named checked at the widths given (-1: default).
struct Report
{
    explicit Report(const Library &library)
    {
        library.buildInto(env.manager(), env.tree);
        dialog = std::make_unique<frmPrintSceneryList>(env.manager(), env.env.context);
        dialog->setPrinter(&printer);
    }
    void check(const QString &name, int width = -1)
    {
        const int index = int(findColumn(name) - columns().data());
        dialog->lstColumns[index].checked = true;
        if (width >= 0)
            QVERIFY(dialog->setColumnWidth(index, QString::number(width)));
    }
    QString line(const QString &title)
    {
        for (const SceneryPtr &s : env.manager().colScenery) {
            if (s->Title == title)
                return dialog->GetLine(*s);
        }
        return u"(no scenery %1)"_s.arg(title);
    }

    LibraryEnv env;
    RecordingPrinter printer;
    std::unique_ptr<frmPrintSceneryList> dialog;
};

} // namespace

class TestSceneryListReport : public QObject
{
    Q_OBJECT

private slots:
    void formatCell_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<int>("width");
        QTest::addColumn<Align>("align");
        QTest::addColumn<QString>("cell");
        QTest::newRow("left, cut") << u"Alps Mountains"_s << 5 << Align::Left << u"Alps |"_s;
        QTest::newRow("centred flag") << u"X"_s << 3 << Align::Centre << u" X |"_s;
        QTest::newRow("centred, width 1: first character") << u"17"_s << 1 << Align::Centre << u"1|"_s;
        QTest::newRow("centred, longer than the width") << u"ABCDEFG"_s << 4 << Align::Centre << u"  AB|"_s;
        QTest::newRow("width 0") << u"Alps"_s << 0 << Align::Left << u"|"_s;
    }
    void formatCell()
    {
        QFETCH(QString, value);
        QFETCH(int, width);
        QFETCH(Align, align);
        QFETCH(QString, cell);
        QCOMPARE(SceneryListReport::formatCell(value, width, align), cell);
    }

    // Each column's cell of one scenery, alone in the line.
    void cell_data()
    {
        QTest::addColumn<QString>("column");
        QTest::addColumn<int>("width");
        QTest::addColumn<SceneryFields>("fields");
        QTest::addColumn<QString>("line");
        QTest::newRow("Active") << u"Active"_s << 3 << SceneryFields{.active = true} << u" X |"_s;
        QTest::newRow("GroupId") << u"GroupId"_s << 5 << SceneryFields{.groupId = 12} << u"  12 |"_s;
        QTest::newRow("Local, used") << u"Local"_s << 9
                                     << SceneryFields{.isLocalPath = true, .localPath = u"Sc\\Alps"_s}
                                     << u">Sc\\Alps |"_s;
        QTest::newRow("Remote, local used")
            << u"Remote"_s << 6 << SceneryFields{.isLocalPath = true, .remotePath = u"D:\\A"_s}
            << u" D:\\A |"_s;
        QTest::newRow("Type, no name")
            << u"Type"_s << -1 << SceneryFields{.salesType = 7} << u"             |"_s;
        QTest::newRow("Sim, none") << u"Sim"_s << -1 << SceneryFields{} << u"Unknown|"_s;
        QTest::newRow("Sim, two, cut at the width")
            << u"Sim"_s << -1 << SceneryFields{.flySim = 12} << u"FS 2000|"_s;
        QTest::newRow("Flatten.9") << u"Flatten.9"_s << 4 << SceneryFields{.flatten = {{9, u"N1 E2"_s}}}
                                   << u"N1 E|"_s;
        QTest::newRow("Level") << u"Level"_s << -1
                               << SceneryFields{.key = u"SceneryEurope\\Germany\\Berlin"_s}
                               << u"Europe\\Germany\\Berli|"_s;
    }
    void cell()
    {
        QFETCH(QString, column);
        QFETCH(int, width);
        QFETCH(SceneryFields, fields);
        QFETCH(QString, line);
        Report report(Library().scenery(u"Alps"_s, fields));
        report.check(column, width);
        QCOMPARE(report.line(u"Alps"_s), line);
    }

    // A scenery's sets in the library's order of sets, each followed by ", ".
    void setCell()
    {
        Report report(Library()
                          .sceneries({u"Alps"_s, u"Lone"_s})
                          .set(u"A"_s, Sim::FS2002, {u"Alps"_s})
                          .set(u"C"_s, Sim::FS2002, {})
                          .set(u"B"_s, Sim::FS2000, {u"Alps"_s}));
        report.check(u"Set"_s, 10);
        QCOMPARE(report.line(u"Alps"_s), u"A, B,     |"_s);
        QCOMPARE(report.line(u"Lone"_s), u"          |"_s);
    }

    void header_data()
    {
        QTest::addColumn<QStringList>("columns"); // "Name" or "Name:width"
        QTest::addColumn<QString>("header");
        QTest::newRow("no column") << QStringList{} << QString();
        QTest::newRow("names padded and cut, in list order")
            << QStringList{u"Active:3"_s, u"Title:3"_s, u"Group"_s} << u"Group|Tit|Act|"_s;
        QTest::newRow("width 0") << QStringList{u"Title:0"_s, u"Id"_s} << u"Id        ||"_s;
    }
    void header()
    {
        QFETCH(QStringList, columns);
        QFETCH(QString, header);
        Report report(Library().scenery(u"Alps"_s, {.active = true}));
        for (const QString &column : columns)
            report.check(column.section(u':', 0, 0),
                         column.contains(u':') ? column.section(u':', 1).toInt() : -1);
        QCOMPARE(report.dialog->GetHeader(), header);
        QCOMPARE(report.dialog->underline(), QString(header.size(), u'-'));
        QCOMPARE(report.line(u"Alps"_s).size(), header.size());
    }

    void everyColumnAtOnce()
    {
        Report report(Library().scenery(u"Alps"_s, {.flatten = {{0, u"first"_s}, {9, u"last"_s}}}));
        int widths = 0;
        for (const ColumnDef &def : columns()) {
            report.check(def.name);
            widths += def.defaultWidth;
        }
        const QString header = report.dialog->GetHeader();
        const QString line = report.line(u"Alps"_s);
        QCOMPARE(header.size(), widths + ColumnCount);
        QCOMPARE(line.size(), header.size());
        QVERIFY(header.startsWith(u"Group|Id        |Title"_s));
        QVERIFY(header.endsWith(u"|Level               |Set            |"_s));
        // The cells stand under their names: every "|" of the line is one of the header's.
        for (qsizetype i = 0; i < header.size(); ++i)
            QCOMPARE(line.at(i) == u'|', header.at(i) == u'|');
        QCOMPARE(line.mid(header.indexOf(u"Flatten.0"_s), 6), u"first "_s);
        QCOMPARE(line.mid(header.indexOf(u"Flatten.9"_s), 5), u"last "_s);
    }

    void filter_data()
    {
        QTest::addColumn<qint16>("flySim");
        QTest::addColumn<int>("mask");
        QTest::addColumn<bool>("listed");
        QTest::newRow("no version, no box") << qint16(0) << 0 << true;
        QTest::newRow("no version, a box") << qint16(0) << 4 << false;
        QTest::newRow("a version, no box") << qint16(4) << 0 << false;
        QTest::newRow("a version in common") << qint16(12) << (8 | 16) << true;
    }
    void filter()
    {
        QFETCH(qint16, flySim);
        QFETCH(int, mask);
        QFETCH(bool, listed);
        QCOMPARE(bCheckPrint(flySim, mask), listed);
    }

    // Refresh: header, underline and the rows the boxes let through, in library order, CR LF each.
    void refresh()
    {
        Report report(Library()
                          .level(u"Europe"_s)
                          .scenery(u"Paris"_s, {.flySim = 8})
                          .scenery(u"Berlin"_s, {.flySim = 0})
                          .scenery(u"Rome"_s, {.flySim = 4 | 8})
                          .scenery(u"Oslo"_s, {.flySim = 4}));
        report.check(u"Title"_s, 6);
        report.check(u"Sim"_s, 15);
        report.dialog->chkFilter[3] = true; // FS2K2
        report.dialog->cmdRefresh_Click();
        QCOMPARE(report.dialog->txtPreview, u"Title |Sim            |\r\n"
                                            u"-----------------------\r\n"
                                            u"Paris |FS 2002        |\r\n"
                                            u"Rome  |FS 2000/FS 2002|\r\n"_s);
    }

    void widthPrompt_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("text");
        QTest::newRow("the whole part of a number") << u"12.7"_s << u"12:Title"_s;
        QTest::newRow("zero") << u"0"_s << u"0:Title"_s;
        QTest::newRow("cancelled") << QString() << u"50:Title"_s;
        QTest::newRow("negative") << u"-3"_s << u"50:Title"_s;
        QTest::newRow("wider than any page") << u"1000"_s << u"50:Title"_s;
    }
    void widthPrompt()
    {
        QFETCH(QString, answer);
        QFETCH(QString, text);
        Report report{Library()};
        report.env.env.ui.expectInput(u"Insert length of column"_s, u"Set column length"_s, answer);
        report.dialog->lstColumns_DblClick(2);
        QVERIFY(report.env.env.ui.allShown());
        QCOMPARE(report.dialog->lstColumns.at(2).text, text);
        QCOMPARE(report.dialog->columnWidth(2), text.section(u':', 0, 0).toInt());
    }

    void print()
    {
        Report report(Library().scenery(u"Paris"_s, {.flySim = 8}).scenery(u"Berlin"_s, {.flySim = 4}));
        report.check(u"Title"_s, 6);
        report.dialog->chkFilter[2] = true;
        QVERIFY(report.dialog->cmdPrint_Click().isDone());
        QVERIFY(report.printer.printed);
        QCOMPARE(report.printer.printed->header, u"Title |"_s);
        QCOMPARE(report.printer.printed->rows, QStringList{u"Berlin|"_s});

        report.dialog->setPrinter(nullptr);
        QVERIFY(report.dialog->cmdPrint_Click().isRefused());
    }

    void savePdf_data()
    {
        QTest::addColumn<std::optional<QString>>("chosen");
        QTest::addColumn<bool>("fails");
        QTest::addColumn<QString>("saved");
        QTest::addColumn<Outcome::Kind>("kind");
        QTest::newRow("cancelled") << std::optional<QString>() << false << QString()
                                   << Outcome::Kind::Stopped;
        QTest::newRow("named without extension")
            << std::optional<QString>(u"C:\\List"_s) << false << u"C:\\List.pdf"_s << Outcome::Kind::Done;
        QTest::newRow("failed") << std::optional<QString>(u"C:\\List.pdf"_s) << true << u"C:\\List.pdf"_s
                                << Outcome::Kind::Failed;
    }
    void savePdf()
    {
        QFETCH(std::optional<QString>, chosen);
        QFETCH(bool, fails);
        QFETCH(QString, saved);
        QFETCH(Outcome::Kind, kind);
        Report report(Library().scenery(u"Paris"_s));
        report.check(u"Title"_s);
        report.printer.failSave = fails;
        ScriptedUi &ui = report.env.env.ui;
        ui.expectFile(chosen, u"Save as PDF"_s);
        if (fails)
            ui.expectMessageStartingWith(u".cmdSavePdf_Click"_s, u"Lumivale"_s);
        QCOMPARE(report.dialog->cmdSavePdf_Click().kind(), kind);
        QVERIFY(ui.allShown());
        QCOMPARE(report.printer.savedShown, saved);
        if (!saved.isEmpty())
            QCOMPARE(report.printer.savedHost, report.env.env.host(saved));
    }
};

QTEST_GUILESS_MAIN(TestSceneryListReport)
#include "tst_scenerylistreport.moc"
