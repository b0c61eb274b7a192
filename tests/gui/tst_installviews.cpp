// The add-scenery dialog and the installation's progress window bound to their logic.

#include "gui/install/installviews.h"
#include "install/frmaddscenery.h"
#include "install/frminstallprogress.h"
#include "support/librarybuilder.h"

#include <QtTest>
#include <QtWidgets>

#include <zip.h>

using namespace Qt::StringLiterals;

namespace {
// Saves a picture of a window when LUMIVALE_SCREENSHOT_DIR names a folder (for the documentation).
void keepPicture(QWidget &window, const QString &name)
{
    const QString folder = qEnvironmentVariable("LUMIVALE_SCREENSHOT_DIR");
    if (!folder.isEmpty())
        window.grab().save(QDir(folder).filePath(name));
}
} // namespace

class tst_InstallViews : public QObject
{
    Q_OBJECT

private slots:
    void addSceneryDialog();
    void progressWindowCancels();
};

void tst_InstallViews::addSceneryDialog()
{
    LibraryEnv lib;
    const QString zip = u"C:\\Downloads\\harbour_lights.zip"_s;
    lib.env.writeFile(zip);
    int error = 0;
    zip_t *z = zip_open(QFile::encodeName(lib.env.host(zip)).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    for (const char *name :
         {"LumivaleFileList.db", "Scenery/HARBOUR.BGL", "Texture/HARBOUR.BMP", "README.TXT"})
        zip_file_add(z, name, zip_source_buffer(z, "x", 1, 0), 0);
    QCOMPARE(zip_close(z), 0);
    frmAddScenery form(lib.env.context, lib.manager());
    form.Form_Load();
    form.Form_Activate();
    AddSceneryView view(form);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));

    // A radio button takes clicks on its circle and its text, at its left.
    auto *way = view.findChild<QRadioButton *>(u"optWay2"_s);
    QTest::mouseClick(way, Qt::LeftButton, {}, QPoint(8, way->height() / 2));
    lib.env.ui.expectFile(zip, u"Select folder"_s);
    QTest::mouseClick(view.findChild<QToolButton *>(u"cmdBrowse3"_s), Qt::LeftButton);
    QTest::keyClicks(view.findChild<QLineEdit *>(u"txtTitle"_s), u"Harbour Lights"_s);
    QTest::keyClicks(view.findChild<QLineEdit *>(u"txtZipDest"_s), u"C:\\Sceneries\\Harbour"_s);

    QVERIFY(view.findChild<QGroupBox *>(u"fraWay2"_s)->isEnabled());
    QVERIFY(!view.findChild<QGroupBox *>(u"fraWay0"_s)->isEnabled());
    const auto *content = view.findChild<QTreeWidget *>(u"lvwContent"_s);
    QCOMPARE(content->topLevelItemCount(), 4);
    QCOMPARE(content->topLevelItem(1)->text(1), u"Scenery\\"_s);
    QVERIFY(view.findChild<QRadioButton *>(u"optMode2"_s)->isChecked());
    QVERIFY(!view.findChild<QCheckBox *>(u"chkSubZips"_s)->isEnabled());
    QCOMPARE(view.findChild<QLineEdit *>(u"txtSceneryExt"_s)->text(),
             u"*.bgl;*.dat;*.isu;*.xcl;*.mpf;*.dki"_s);
    keepPicture(view, u"add-scenery.png"_s);

    QTest::mouseClick(view.findChild<QPushButton *>(u"cmdOK"_s), Qt::LeftButton);

    QCOMPARE(view.result(), int(QDialog::Accepted));
    const InstallRequest request = form.request();
    QCOMPARE(request.title, u"Harbour Lights"_s);
    QCOMPARE(request.destination, u"C:\\Sceneries\\Harbour"_s);
    QCOMPARE(request.archiveMode, ArchiveMode::FileList);
}

void tst_InstallViews::progressWindowCancels()
{
    TestEnv env;
    frmInstallProgress form(env.ui);
    QStringList placed;
    form.work = [&] {
        for (const QString &file : {u"Scenery\\HARBOUR.BGL"_s, u"Texture\\HARBOUR.BMP"_s, u"README.TXT"_s}) {
            if (form.cancelRequested())
                return;
            form.setCurrentFile(file);
            placed << file;
            if (placed.size() == 1) {
                QApplication::processEvents();
                auto *view = qobject_cast<QDialog *>(QApplication::activeModalWidget());
                QVERIFY(view);
                QCOMPARE(view->findChild<QLabel *>(u"lblFile"_s)->text(), file);
                keepPicture(*view, u"install-progress.png"_s);
                QTest::mouseClick(view->findChild<QPushButton *>(u"cmdCancel"_s), Qt::LeftButton);
            }
        }
    };
    InstallProgressView view(form);

    view.exec();

    QCOMPARE(placed, QStringList{u"Scenery\\HARBOUR.BGL"_s});
    QVERIFY(!form.visible);
}

QTEST_MAIN(tst_InstallViews)
#include "tst_installviews.moc"
