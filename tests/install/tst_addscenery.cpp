// The "Install Scenery" dialog's logic and the open-with lookup behind its content list.

#include "install/frmaddscenery.h"
#include "install/openwith.h"
#include "library/scenerymanager.h"
#include "platform/launcher.h"
#include "support/librarybuilder.h"
#include "support/testenv.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <zip.h>

using namespace Qt::StringLiterals;

namespace {

const QString SettingsKey = u"SOFTWARE\\Tarnwick\\Lumivale"_s;

// Records what would have been started instead of starting it.
class RecordingLauncher : public Launcher
{
public:
    using Launcher::Launcher;
    bool startProgram(const QString &program, const QStringList &arguments) override
    {
        started << (QStringList{program} + arguments);
        return true;
    }
    QList<QStringList> started;
};

// A zip file at a Windows path holding empty files of the given entry names.
void makeZip(TestEnv &env, const QString &path, const QList<QByteArray> &names)
{
    env.writeFile(path);
    int error = 0;
    zip_t *z = zip_open(QFile::encodeName(env.host(path)).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    QVERIFY(z);
    for (const QByteArray &name : names)
        QVERIFY(zip_file_add(z, name.constData(), zip_source_buffer(z, "x", 1, 0), 0) >= 0);
    QCOMPARE(zip_close(z), 0);
}

// The Wine prefix's per-user registry, in Wine's own format: key -> (value name -> text), "" the
// unnamed value.
void writeUserReg(TestEnv &env, const QMap<QString, QMap<QString, QString>> &keys)
{
    QByteArray text = "WINE REGISTRY Version 2\n\n";
    for (auto key = keys.cbegin(); key != keys.cend(); ++key) {
        text += "[" + QString(key.key()).replace(u"\\"_s, u"\\\\"_s).toUtf8() + "] 1\n";
        for (auto value = key->cbegin(); value != key->cend(); ++value) {
            const QByteArray data = "\"" + QString(value.value()).replace(u"\\"_s, u"\\\\"_s).toUtf8() + "\"";
            text += (value.key().isEmpty() ? QByteArray("@") : "\"" + value.key().toUtf8() + "\"") + "=" +
                    data + "\n";
        }
        text += "\n";
    }
    QFile file(env.prefixHost() + u"/user.reg"_s);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(text);
}

const QString OpenWithList =
    u"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\.txt\\OpenWithList"_s;

} // namespace

using RegKeys = QMap<QString, QMap<QString, QString>>;
Q_DECLARE_METATYPE(RegKeys)

class tst_AddScenery : public QObject
{
    Q_OBJECT

private slots:
    void okChecksTheTitle_data();
    void okChecksTheTitle();
    void cancelEmptiesTheTitle();
    void archiveChosenListsContent();
    void browseFillsFields();
    void patternFields();
    void extension_data();
    void extension();
    void openWith_data();
    void openWith();
};

void tst_AddScenery::okChecksTheTitle_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("message");

    QTest::newRow("blanks") << u"   "_s << u"The title for the scenery is missing."_s;
    QTest::newRow("\\ read as /") << u"A\\B"_s
                                  << u"The title for the scenery exists, please choose a different title."_s;
    QTest::newRow("other case is free") << u"a\\B"_s << QString();
}

void tst_AddScenery::okChecksTheTitle()
{
    QFETCH(QString, title);
    QFETCH(QString, message);
    LibraryEnv lib;
    Library().scenery(u"A/B"_s).buildInto(lib.manager(), lib.tree);
    frmAddScenery dialog(lib.env.context, lib.manager());
    dialog.Form_Load();
    dialog.txtTitle = title;
    if (!message.isEmpty())
        lib.env.ui.expectMessage(
            message, message.contains(u"missing"_s) ? u"Scenery title missing"_s : u"Scenery title exists"_s,
            UiPort::Answer::Ok, UiPort::Icon::Exclamation);

    dialog.cmdOK_Click();

    QVERIFY(lib.env.ui.allShown());
    QCOMPARE(dialog.visible, !message.isEmpty());
    QCOMPARE(dialog.request().title, message.isEmpty() ? title : QString());
}

void tst_AddScenery::cancelEmptiesTheTitle()
{
    LibraryEnv lib;
    frmAddScenery dialog(lib.env.context, lib.manager());
    dialog.Form_Load();
    dialog.txtTitle = u"Alps"_s;

    dialog.cmdCancel_Click();

    QVERIFY(!dialog.visible);
    QVERIFY(dialog.sResult.isEmpty());
    QVERIFY(dialog.txtTitle.isEmpty());
}

void tst_AddScenery::archiveChosenListsContent()
{
    LibraryEnv lib;
    const QString zip = u"C:\\Downloads\\Alps.zip"_s;
    makeZip(lib.env, zip, {"Scenery/AREA.BGL", "readme.txt", "Extra.zip"});
    QHash<QString, QString> memory;
    frmAddScenery dialog(lib.env.context, lib.manager());
    dialog.setDicPath = [&memory](const QString &key, const QString &folder) { memory.insert(key, folder); };
    dialog.Form_Load();
    dialog.optWay_Click(2);
    dialog.chkSubZips = true;
    lib.env.ui.expectFile(zip, u"Select folder"_s);

    dialog.cmdBrowse_Click(3);

    QCOMPARE(dialog.txtZipSource, zip);
    QCOMPARE(dialog.lvwContent,
             (ContentList{{u"AREA.BGL"_s, u"Scenery\\"_s}, {u"readme.txt"_s, {}}, {u"Extra.zip"_s, {}}}));
    QVERIFY(dialog.blnSceneryFolderFound && !dialog.blnFileListFound);
    QCOMPARE(dialog.optMode, int(ArchiveMode::WinzipPath));
    QVERIFY(!dialog.chkSubZipsEnabled());
    QVERIFY(!dialog.request().subZips);
    QCOMPARE(memory.value(u"AddScreen1"_s), u"C:\\Downloads\\"_s);
    QVERIFY(dialog.fraWayEnabled(2) && !dialog.fraWayEnabled(0));
}

void tst_AddScenery::browseFillsFields()
{
    LibraryEnv lib;
    frmAddScenery dialog(lib.env.context, lib.manager());
    dialog.getDicPath = [](const QString &key) {
        return key == u"AddScreen0"_s ? u"C:\\Remembered\\"_s : QString();
    };
    dialog.Form_Load();
    lib.env.ui.expectFolder(u"D:\\Rome"_s, u"Select folder"_s)
        .expectFolder(u"D:\\New\\"_s, u"Select folder"_s);

    dialog.cmdBrowse_Click(0);
    dialog.cmdBrowse_Click(4);

    QCOMPARE(dialog.txtSceneryPath, u"D:\\Rome\\Scenery"_s);
    QCOMPARE(dialog.txtZipDest, u"D:\\New"_s);
    QCOMPARE(lib.env.ui.shown(), (QStringList{u"folder|Select folder|C:\\Remembered\\"_s,
                                              u"folder|Select folder|C:\\Remembered\\"_s}));
}

void tst_AddScenery::patternFields()
{
    LibraryEnv lib;
    frmAddScenery dialog(lib.env.context, lib.manager());
    dialog.Form_Load();
    dialog.Form_Activate();
    QCOMPARE(dialog.txtSceneryExt, u"*.bgl;*.dat;*.isu;*.xcl;*.mpf;*.dki"_s);

    dialog.txtSceneryExt_Change(QString());
    dialog.txtTextureExt_Change(u"*.xyz"_s);

    QCOMPARE(
        lib.env.settings->read(SettingsStore::Root::Machine, SettingsKey, u"SceneryFileExt"_s, u"none"_s),
        QString());
    frmAddScenery next(lib.env.context, lib.manager());
    next.Form_Load();
    next.Form_Activate();
    QCOMPARE(next.txtSceneryExt, u"*.bgl;*.dat;*.isu;*.xcl;*.mpf;*.dki"_s);
    QCOMPARE(next.txtTextureExt, u"*.xyz"_s);
}

void tst_AddScenery::extension_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("extension");
    QTest::newRow("last dot") << u"data.tar.gz"_s << u".gz"_s;
    QTest::newRow("no dot") << u"README"_s << u".README"_s;
}

void tst_AddScenery::extension()
{
    QFETCH(QString, name);
    QFETCH(QString, extension);
    QCOMPARE(OpenWith::extensionOf(name), extension);
}

void tst_AddScenery::openWith_data()
{
    QTest::addColumn<RegKeys>("registry");
    QTest::addColumn<bool>("desktopOpens");
    QTest::addColumn<QStringList>("started");
    QTest::addColumn<QString>("message");

    const QString notepad = u"C:\\windows\\notepad.exe"_s;
    const QString file = u"C:\\tmp\\read me.txt"_s;
    QTest::newRow("the program before Lumivale in the open-with list")
        << RegKeys{{OpenWithList,
                    {{u"MRUList"_s, u"ab"_s}, {u"a"_s, u"lumivale.exe"_s}, {u"b"_s, u"notepad.exe"_s}}},
                   {u"Software\\Classes\\Applications\\notepad.exe\\shell\\open\\command"_s,
                    {{{}, notepad + u" %1"_s}}}}
        << false << QStringList{u"wine"_s, notepad, file} << QString();
    QTest::newRow("open-with program without a command")
        << RegKeys{{OpenWithList, {{u"MRUList"_s, u"a"_s}, {u"a"_s, u"notepad.exe"_s}}}} << false
        << QStringList{u"wine"_s, notepad, file} << QString();
    QTest::newRow("the file type's command")
        << RegKeys{{u"Software\\Classes\\.txt"_s, {{{}, u"txtfile"_s}}},
                   {u"Software\\Classes\\txtfile\\shell\\open\\command"_s, {{{}, notepad}}}}
        << false << QStringList{u"wine"_s, notepad, file} << QString();
    QTest::newRow("registry program missing: the desktop opens it")
        << RegKeys{{u"Software\\Classes\\.txt"_s, {{{}, u"txtfile"_s}}},
                   {u"Software\\Classes\\txtfile\\shell\\open\\command"_s, {{{}, u"C:\\gone\\x.exe %1"_s}}}}
        << true << QStringList{} << QString();
    QTest::newRow("no type, no desktop handler")
        << RegKeys{} << false << QStringList{} << u"Filetype not found."_s;
    QTest::newRow("type without command") << RegKeys{{u"Software\\Classes\\.txt"_s, {{{}, u"txtfile"_s}}}}
                                          << false << QStringList{} << u"Application not found."_s;
    QTest::newRow("empty command") << RegKeys{{u"Software\\Classes\\.txt"_s, {{{}, u"txtfile"_s}}},
                                              {u"Software\\Classes\\txtfile\\shell\\open\\command"_s,
                                               {{{}, QString()}}}}
                                   << false << QStringList{} << u"Sorry, REG_EXPAND_SZ not covered."_s;
}

void tst_AddScenery::openWith()
{
    QFETCH(RegKeys, registry);
    QFETCH(bool, desktopOpens);
    QFETCH(QStringList, started);
    QFETCH(QString, message);
    TestEnv env;
    env.writeFile(u"C:\\windows\\notepad.exe"_s, "exe");
    writeUserReg(env, registry);
    RecordingLauncher launcher(env.fs);
    OpenWith openWith(env.context, launcher);
    QStringList desktop;
    openWith.desktopOpen = [&](const QString &host) {
        desktop << host;
        return desktopOpens;
    };
    if (!message.isEmpty())
        env.ui.expectMessage(message, u"Can not open data file."_s, UiPort::Answer::Ok,
                             UiPort::Icon::Critical);

    const bool opened = openWith.open(u"C:\\tmp\\read me.txt"_s, u"read me.txt"_s);

    QVERIFY(env.ui.allShown());
    QCOMPARE(opened, message.isEmpty());
    QCOMPARE(launcher.started, started.isEmpty() ? QList<QStringList>{} : QList<QStringList>{started});
    QCOMPARE(desktop.isEmpty(), !started.isEmpty());
}

QTEST_GUILESS_MAIN(tst_AddScenery)
#include "tst_addscenery.moc"
