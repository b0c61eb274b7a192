// Passing a scenery on: its FILE_ID.DIZ, edited from the "Wizard" menu.

#include "packaging/fileiddiz.h"
#include "platform/lmerror.h"
#include "support/librarybuilder.h"

#include <QFileInfo>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// What the user does in the edit dialog: press OK with a text, or Cancel.
struct Edit
{
    bool ok = false;
    QString text = {};
};

struct Fixture
{
    // Runs the command on a scenery of that Local path; the dialog is expected to show `shown`
    // and the user's part is `edit`. Returns the outcome and the status texts.
    Outcome run(const QString &localPath, const Edit &edit, const QString &shown = {})
    {
        const clsScenery scenery = Library().scenery(u"Alps"_s, {.localPath = localPath}).record(u"Alps"_s);
        env.env.ui.expectForm<EditFileIdDizDialog>(u"EditFileIdDizDialog"_s,
                                                   [edit, shown](EditFileIdDizDialog &dialog) {
                                                       QCOMPARE(dialog.txtText, shown);
                                                       QVERIFY(!dialog.bOK);
                                                       dialog.txtText = edit.text;
                                                       if (edit.ok)
                                                           dialog.cmdOK_Click();
                                                       else
                                                           dialog.cmdCancel_Click();
                                                   });
        return PackagingCommands::mnuWizardCreateDIZ_Click(env.env.context, env.manager(), scenery,
                                                           [this](const QString &text) { status << text; });
    }
    bool exists(const QString &path) const { return QFileInfo::exists(env.env.host(path)); }

    LibraryEnv env;
    QStringList status;
};

const QString AlpsDiz = u"C:\\FS2002\\Addon Scenery\\Alps\\FILE_ID.DIZ"_s;

} // namespace

Q_DECLARE_METATYPE(Edit)

class TestPackaging : public QObject
{
    Q_OBJECT

private slots:
    // The file of the scenery's folder is shown and, after OK, replaced by the first 450
    // characters of the text, a line break counting as two; after Cancel it stays as it was, and
    // one that was missing stays, empty.
    void editDiz_data()
    {
        QTest::addColumn<QString>("localPath");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("before"); // empty: no file
        QTest::addColumn<Edit>("edit");
        QTest::addColumn<QByteArray>("after");
        const QString text451 = u"Alps\r\n"_s + QString(445, u'x');
        QTest::newRow("451 characters, OK")
            << u"Addon Scenery\\Alps"_s << AlpsDiz << QByteArray("Old\r\ntext") << Edit{true, text451}
            << (QByteArray("Alps\r\n") + QByteArray(444, 'x'));
        QTest::newRow("no file, Cancel") << u"Addon Scenery\\Alps\\Scenery"_s << AlpsDiz << QByteArray()
                                         << Edit{false, u"typed"_s} << QByteArray();
        QTest::newRow("a file, Cancel")
            << u"C:\\Sceneries\\Alps"_s << u"C:\\Sceneries\\Alps\\FILE_ID.DIZ"_s << QByteArray("Caf\xe9")
            << Edit{false, u"typed"_s} << QByteArray("Caf\xe9");
    }

    void editDiz()
    {
        QFETCH(QString, localPath);
        QFETCH(QString, file);
        QFETCH(QByteArray, before);
        QFETCH(Edit, edit);
        QFETCH(QByteArray, after);
        Fixture f;
        f.env.env.writeFile(u"C:\\FS2002\\Addon Scenery\\Alps\\Scenery\\x.bgl"_s, "bgl");
        f.env.env.writeFile(u"C:\\Sceneries\\Alps\\x.bgl"_s, "bgl");
        if (!before.isEmpty())
            f.env.env.writeFile(file, before);
        const Outcome outcome = f.run(localPath, edit, Cp1252::decode(before));
        QVERIFY(f.env.env.ui.allShown());
        QCOMPARE(outcome.isDone(), edit.ok);
        QVERIFY(f.exists(file));
        QCOMPARE(f.env.env.readFile(file), after);
        QCOMPARE(f.status, (QStringList{u"Create FILE_ID.DIZ"_s, u"Ready."_s}));
    }

    // A scenery without a Local path has no folder to write into.
    void noLocalPath()
    {
        Fixture f;
        const clsScenery scenery = Library().scenery(u"Alps"_s).record(u"Alps"_s);
        f.env.env.ui.expectMessage(u"Please choose a local path first."_s, u"Can not create FILE_ID.DIZ"_s,
                                   UiPort::Answer::Ok, UiPort::Icon::Information);
        QVERIFY(PackagingCommands::mnuWizardCreateDIZ_Click(f.env.env.context, f.env.manager(), scenery, {})
                    .isRefused());
        QVERIFY(f.env.env.ui.allShown());
    }

    // A folder that is gone ends the command with the error message before the dialog. A disk
    // failing as the text is written is proved with every other save in tests/hardening.
    void folderGone()
    {
        Fixture f;
        const clsScenery scenery =
            Library().scenery(u"Alps"_s, {.localPath = u"Addon Scenery\\Gone"_s}).record(u"Alps"_s);
        f.env.env.ui.expectMessageStartingWith(
            u".mnuWizardCreateDIZ_Click\nError: %1\n"_s.arg(LmError::PathNotFound), u"Lumivale"_s);
        const Outcome outcome =
            PackagingCommands::mnuWizardCreateDIZ_Click(f.env.env.context, f.env.manager(), scenery, {});
        QVERIFY(f.env.env.ui.allShown());
        QVERIFY(outcome.isFailed());
    }
};

QTEST_GUILESS_MAIN(TestPackaging)
#include "tst_packaging.moc"
