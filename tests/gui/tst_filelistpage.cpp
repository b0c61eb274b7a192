// The "File list" page's view on the window's logic: the list shows the entries, the buttons follow
// what they can do, and a click reaches the logic.

#include "app/windowfixture.h"

#include "gui/app/filelistpage.h"

#include <QtTest>
#include <QtWidgets>

using namespace Qt::StringLiterals;

namespace {
const QString ListFile = u"C:\\FS2002\\Addon Scenery\\Area\\LumivaleFileList.db"_s;

QList<bool> enabled(const FileListPage &page)
{
    QList<bool> states;
    for (const char *name : {"cmdCreateFileList", "cmdAddFile", "cmdEditFile", "cmdRemoveFile", "cmdOpen"})
        states << page.findChild<QPushButton *>(QLatin1String(name))->isEnabled();
    return states;
}
} // namespace

class TestFileListPage : public QObject
{
    Q_OBJECT

private slots:
    void clicksReachTheList()
    {
        WindowFixture f;
        f.env.writeFile(ListFile, windowsText({u"[FileList]"_s, u"A.BGL=MySceneryBase!C:\\A.BGL"_s,
                                               u"B.BGL=MySceneryBase!C:\\B.BGL"_s}));
        frmScenery &form = f.load(Library().scenery(u"Area"_s, {.localPath = u"Addon Scenery\\Area"_s}));
        FileListPage page(form);
        page.resize(600, 300);
        page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&page));
        QCOMPARE(enabled(page), (QList<bool>{false, false, false, false, false}));

        f.select(u"SceneryNew\\Area"_s);
        form.tbsScenery_Click(DetailsPanel::TabFileList);
        auto *list = page.findChild<QTreeWidget *>(u"lvwFileList"_s);
        QCOMPARE(list->topLevelItemCount(), 2);
        QCOMPARE(list->topLevelItem(1)->text(2), u"C:\\B.BGL"_s);
        QCOMPARE(enabled(page), (QList<bool>{true, true, false, false, false}));

        const QRect row = list->visualItemRect(list->topLevelItem(1));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, row.center());
        QCOMPARE(form.fileList().selectedIndex(), 1);
        QCOMPARE(enabled(page), (QList<bool>{true, true, true, true, true}));

        QTest::mouseClick(page.findChild<QPushButton *>(u"cmdRemoveFile"_s), Qt::LeftButton);
        QCOMPARE(list->topLevelItemCount(), 1);
        QVERIFY(!f.env.readFile(ListFile).contains("B.BGL"));
        QCOMPARE(enabled(page), (QList<bool>{true, true, false, false, false}));
    }
};

QTEST_MAIN(TestFileListPage)
#include "tst_filelistpage.moc"
