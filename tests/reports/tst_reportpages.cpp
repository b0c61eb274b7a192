// The printed form of a report: the page and font chosen for its width, and its pages.

#include "reports/reportpages.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// A report whose rows are "r1", "r2", ... under the header given.
ReportDocument document(const QString &header, int rows)
{
    ReportDocument doc;
    doc.header = header;
    doc.underline = QString(header.size(), u'-');
    for (int i = 1; i <= rows; ++i)
        doc.rows.append(u"r%1"_s.arg(i).leftJustified(header.size(), u'.'));
    return doc;
}

// Typewriter faces are 0.6 of their size wide; A4's printable area in points.
constexpr double Advance = 0.6;
constexpr double PortraitWidth = 500;
constexpr double PortraitHeight = 770;

} // namespace

class TestReportPages : public QObject
{
    Q_OBJECT

private slots:
    void fit_data()
    {
        QTest::addColumn<int>("lineChars");
        QTest::addColumn<bool>("landscape");
        QTest::addColumn<double>("points");
        QTest::newRow("fits upright") << 83 << false << 10.0;
        QTest::newRow("one character too wide for upright") << 84 << true << 10.0;
        QTest::newRow("fits across, smaller") << 160 << true << 8.0;
        QTest::newRow("too wide even at the smallest size") << 826 << true << PageFit::SmallestPoints;
    }
    void fit()
    {
        QFETCH(int, lineChars);
        QFETCH(bool, landscape);
        QFETCH(double, points);
        const PageFit fit = PageFit::choose(lineChars, Advance, PortraitWidth, PortraitHeight);
        QCOMPARE(fit.landscape, landscape);
        QCOMPARE(fit.fontPoints, points);
    }

    void pages_data()
    {
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("rowsPerPage");
        QTest::addColumn<QList<QStringList>>("pages"); // the rows of each page
        QTest::newRow("no rows: one page") << 0 << 3 << QList<QStringList>{{}};
        QTest::newRow("one row over") << 4 << 3 << QList<QStringList>{{u"r1"_s, u"r2"_s, u"r3"_s}, {u"r4"_s}};
        QTest::newRow("no room for rows still makes progress")
            << 2 << 0 << QList<QStringList>{{u"r1"_s}, {u"r2"_s}};
    }
    void pages()
    {
        QFETCH(int, rows);
        QFETCH(int, rowsPerPage);
        QFETCH(QList<QStringList>, pages);
        const QList<ReportPage> printed = paginate(document(u"Title|"_s, rows), rowsPerPage, 80);
        QCOMPARE(printed.size(), pages.size());
        for (qsizetype i = 0; i < printed.size(); ++i) {
            const ReportPage &page = printed.at(i);
            QCOMPARE(page.number, int(i + 1));
            QCOMPARE(page.footer, u"Page %1 of %2"_s.arg(i + 1).arg(pages.size()));
            QCOMPARE(page.lines.value(0), u"Title|"_s);
            QCOMPARE(page.lines.value(1), u"------"_s);
            QStringList pageRows;
            for (const QString &line : page.lines.mid(2))
                pageRows.append(line.section(u'.', 0, 0));
            QCOMPARE(pageRows, pages.at(i));
        }
    }

    void strips_data()
    {
        QTest::addColumn<QString>("header");
        QTest::addColumn<int>("charsPerLine");
        QTest::addColumn<QStringList>("strips");
        QTest::newRow("cut after a column") << u"AAA|BB|C|"_s << 6 << QStringList{u"AAA|"_s, u"BB|C|"_s};
        QTest::newRow("a column wider than the page")
            << u"AAAAAAA|B|"_s << 3 << QStringList{u"AAA"_s, u"AAA"_s, u"A|"_s, u"B|"_s};
        QTest::newRow("no column") << QString() << 5 << QStringList{QString()};
    }
    void strips()
    {
        QFETCH(QString, header);
        QFETCH(int, charsPerLine);
        QFETCH(QStringList, strips);
        QStringList cut;
        for (const auto &[start, end] : stripRanges(header, header.size(), charsPerLine))
            cut.append(header.mid(start, end - start));
        QCOMPARE(cut, strips);
    }

    // The strips of a band of rows follow each other before the next band starts, each with its
    // part of the header, the underline and every row.
    void stripsOfEveryBand()
    {
        const ReportDocument doc = document(u"AAA|BB|"_s, 3);
        const QList<ReportPage> pages = paginate(doc, 2, 4);
        QCOMPARE(pages.size(), 4);
        const QList<QStringList> lines{
            {u"AAA|"_s, u"----"_s, u"r1.."_s, u"r2.."_s},
            {u"BB|"_s, u"---"_s, u"..."_s, u"..."_s},
            {u"AAA|"_s, u"----"_s, u"r3.."_s},
            {u"BB|"_s, u"---"_s, u"..."_s},
        };
        for (qsizetype i = 0; i < pages.size(); ++i)
            QCOMPARE(pages.at(i).lines, lines.at(i));
        QCOMPARE(pages.last().footer, u"Page 4 of 4"_s);
    }
};

QTEST_GUILESS_MAIN(TestReportPages)
#include "tst_reportpages.moc"
