// The views of the "Wizard" menu's dialogs bound to their logic: the global texture manager, the
// FILE_ID.DIZ editor, and the progress window of long jobs.

#include "backup/texturedialog.h"
#include "backup/texturemanager.h"
#include "gui/app/guiuiport.h"
#include "gui/backup/textureview.h"
#include "gui/packaging/fileiddizview.h"
#include "packaging/fileiddiz.h"
#include "support/librarybuilder.h"

#include <QtTest>
#include <QtWidgets>

using namespace Qt::StringLiterals;

namespace {

QStringList listed(const QListWidget *list)
{
    QStringList lines;
    for (int i = 0; i < list->count(); ++i)
        lines << list->item(i)->text() + (list->item(i)->checkState() == Qt::Checked ? u" [x]"_s : QString());
    return lines;
}

} // namespace

class TestWizardViews : public QObject
{
    Q_OBJECT

private slots:
    // Lines are ticked with the mouse on their box; a button runs on the lines ticked and the list
    // is shown again, nothing ticked; Escape is Exit.
    void textureManager()
    {
        TestEnv env;
        install(env, {{Sim::FS2002, u"C:\\FS2002"_s}});
        TextureManager manager(env.context, u"C:\\FS2002"_s);
        for (const QString &name : {u"A.zip"_s, u"B.zip"_s, u"C.zip"_s})
            env.writeFile(manager.backupRoot() + name, "PK");
        GlobalTextureDialog form(manager);
        form.Form_Load();
        GlobalTextureView view(form);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QCOMPARE(view.windowTitle(), u"Global texture management"_s);
        QCOMPARE(listed(view.list()), (QStringList{u"A.zip"_s, u"B.zip"_s, u"C.zip"_s}));

        for (int row : {0, 2}) {
            const QRect rect = view.list()->visualItemRect(view.list()->item(row));
            // The box sits at the start of the line.
            QTest::mouseClick(view.list()->viewport(), Qt::LeftButton, {},
                              QPoint(rect.left() + rect.height() / 2, rect.center().y()));
        }
        QCOMPARE(form.checkedBackups(), (QStringList{u"A.zip"_s, u"C.zip"_s}));
        QTest::mouseClick(view.button(u"cmdDelete"_s), Qt::LeftButton);
        QCOMPARE(listed(view.list()), QStringList{u"B.zip"_s});
        QCOMPARE(env.fs.files(manager.backupRoot()), QStringList{u"B.zip"_s});

        QTest::keyClick(&view, Qt::Key_Escape);
        QVERIFY(!view.isVisible());
        QVERIFY(!form.visible);
    }

    // The editor works with line feeds and the logic keeps CR LF, as the file holds them; the
    // count tells when the text is longer than what is kept.
    void dizEditor()
    {
        EditFileIdDizDialog form;
        form.txtText = u"Alps\r\n"_s;
        EditFileIdDizView view(form);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QCOMPARE(view.text()->toPlainText(), u"Alps\n"_s);
        view.text()->moveCursor(QTextCursor::End);
        QTest::keyClicks(view.text(), u"by me"_s);
        QTest::keyClick(view.text(), Qt::Key_Return);
        QCOMPARE(form.txtText, u"Alps\r\nby me\r\n"_s);
        QCOMPARE(view.count()->text(), u"13 of 450 characters"_s);
        view.text()->setPlainText(QString(451, u'x'));
        QCOMPARE(view.count()->text(), u"451 of 450 characters - only the first 450 are kept"_s);
        QTest::mouseClick(view.okButton(), Qt::LeftButton);
        QVERIFY(!view.isVisible());
        QVERIFY(form.bOK);
    }

    // The progress window names the file a job is at; its Cancel is answered at the next step.
    void progressWindow()
    {
        QWidget parent;
        GuiUiPort ui;
        ui.setParentWidget(&parent);
        ProgressWindow progress(ui, u"Make backup"_s);
        QVERIFY(progress.step(u"C:\\FS2002\\Texture\\a.bmp"_s, 0, 2));
        QProgressDialog *dialog = ui.progressDialog();
        QVERIFY(dialog);
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog));
        QCOMPARE(dialog->windowTitle(), u"Make backup"_s);
        QCOMPARE(dialog->labelText(), u"C:\\FS2002\\Texture\\a.bmp"_s);
        QTest::mouseClick(dialog->findChild<QPushButton *>(), Qt::LeftButton);
        QVERIFY(!progress.step(u"C:\\FS2002\\Texture\\b.bmp"_s, 1, 2));
        QVERIFY(progress.cancelled());
    }
};

QTEST_MAIN(TestWizardViews)
#include "tst_wizardviews.moc"
