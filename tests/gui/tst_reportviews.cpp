// The report dialog's view bound to its logic, the PDF file, and the print preview.

#include "gui/reports/printscenerylistview.h"
#include "gui/reports/reportpaint.h"
#include "support/librarybuilder.h"

#include <QtPrintSupport>
#include <QtTest>
#include <QtWidgets>

using namespace Qt::StringLiterals;

namespace {

// A report of rows "Scenery 1", "Scenery 2", ... under a header of the width given.
ReportDocument document(int rows, int width)
{
    ReportDocument doc;
    doc.title = u"Print scenery list"_s;
    doc.header = u"Title"_s.leftJustified(width - 1) + u'|';
    doc.underline = QString(width, u'-');
    for (int i = 1; i <= rows; ++i)
        doc.rows.append(u"Scenery %1 é ü ß"_s.arg(i).leftJustified(width - 1) + u'|');
    return doc;
}

} // namespace

class TestReportViews : public QObject
{
    Q_OBJECT

private slots:
    // The user ticks a column and a version box and refreshes: the preview shows the report.
    void viewShowsTheReport()
    {
        LibraryEnv env;
        Library()
            .scenery(u"Paris"_s, {.flySim = 8})
            .scenery(u"Oslo"_s, {.flySim = 4})
            .buildInto(env.manager(), env.tree);
        frmPrintSceneryList form(env.manager(), env.env.context);
        PrintSceneryListView view(form);
        QCOMPARE(view.columns()->count(), SceneryListReport::ColumnCount);
        QCOMPARE(view.columns()->item(0)->text(), u"5:Group"_s);
        QCOMPARE(view.columns()->item(26)->text(), u"15:Set"_s);

        view.columns()->item(2)->setCheckState(Qt::Checked);  // 50:Title
        QTest::mouseClick(view.filterBox(3), Qt::LeftButton); // FS2K2
        QTest::mouseClick(view.findChild<QPushButton *>(u"cmdRefresh"_s), Qt::LeftButton);
        QCOMPARE(view.preview()->toPlainText(), u"Title"_s.leftJustified(50) + u"|\n"_s + QString(51, u'-') +
                                                    u"\n"_s + u"Paris"_s.leftJustified(50) + u"|\n"_s);
        QVERIFY(view.preview()->font().fixedPitch());

        QTest::mouseClick(view.findChild<QPushButton *>(u"cmdClose"_s), Qt::LeftButton);
        QVERIFY(!form.visible);
    }

    // The file is replaced as a whole: a folder that is not there fails it, with nothing written.
    void savePdfFailure()
    {
        QTemporaryDir dir;
        const Outcome failed =
            ReportPaint::savePdf(document(5, 60), frmPrintSceneryList::fontFamily(),
                                 dir.filePath(u"gone/list.pdf"_s), u"C:\\gone\\list.pdf"_s);
        QVERIFY(failed.isFailed());
        QCOMPARE(failed.error().number(), qint32(LmError::PathNotFound));
    }

    // Print opens the preview on the report's pages, with Save as PDF among its tools; closing it
    // prints nothing.
    void printPreview()
    {
        QWidget parent;
        bool savedAsPdf = false;
        PreviewReportPrinter printer(&parent, [&savedAsPdf] { savedAsPdf = true; });
        int previewPages = -1;
        printer.onPreview = [&](QDialog &preview) {
            QTimer::singleShot(0, &preview, [&preview, &previewPages] {
                previewPages = preview.findChild<QPrintPreviewWidget *>()->pageCount();
                preview.findChild<QAction *>(u"actSavePdf"_s)->trigger();
                preview.reject();
            });
        };
        QVERIFY(printer.print(document(200, 60)).isStopped());
        QCOMPARE(previewPages, 4);
        QVERIFY(savedAsPdf);
    }
};

QTEST_MAIN(TestReportViews)
#include "tst_reportviews.moc"
