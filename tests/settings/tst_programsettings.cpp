#include "platform/installation.h"
#include "platform/lmerror.h"
#include "settings/programsettings.h"
#include "support/testenv.h"

#include <QFile>
#include <QTest>

using Boxes = ProgramSettings::FilterBoxes;
Q_DECLARE_METATYPE(Boxes)

namespace {
const Boxes Initial{true, false, false, true, false, true};
}

class TstProgramSettings : public QObject
{
    Q_OBJECT

private slots:
    void defaultsOfAnEmptyStore()
    {
        TestEnv env;
        ProgramSettings settings(*env.settings, QStringLiteral("C:\\Lumivale\\"), QStringLiteral("C:\\windows"));
        QCOMPARE(settings.backupPath(), QStringLiteral("C:\\Lumivale\\EnvBackups\\"));
        QCOMPARE(settings.backupTexturePath(), QStringLiteral("C:\\Lumivale\\TextureBackups\\"));
        QCOMPARE(settings.browser(), QStringLiteral("C:\\windows\\explorer.exe"));
        QCOMPARE(settings.documentation(), QStringLiteral("C:\\Lumivale\\Manual.htm"));
        QCOMPARE(settings.homepage(), ProgramSettings::DefaultHomepage);
        QCOMPARE(settings.forum(), ProgramSettings::DefaultForum);
        QVERIFY(!settings.homepage().isEmpty());
        QCOMPARE(settings.sceneryFileExt(), QStringLiteral("*.bgl;*.dat;*.isu;*.xcl;*.mpf;*.dki"));
        QCOMPARE(settings.textureFileExt(), QStringLiteral("*.bmp;*.phi;*.r8;*.??f;*.pat;*.oav;*.agn"));
        QCOMPARE(settings.selectedSim(QStringLiteral("1")), QStringLiteral("1"));
        QVERIFY(!settings.filter());
        for (int key = 1; key <= 12; ++key)
            QCOMPARE(settings.functionKey(key), QString());
        QVERIFY(!settings.formHeight());
        QVERIFY(!settings.formLeft());
        QVERIFY(!settings.formTop());
        QVERIFY(!settings.formWidth());
        QVERIFY(!settings.formWindowState());
        // Reading wrote nothing.
        QVERIFY(!QFile::exists(env.homeHost() + QLatin1Char('/') + Installation::IniFileName));
    }

    void storedTexts_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("expected");
        QTest::newRow("backup path") << "BackupPath" << "D:\\Backups\\" << "D:\\Backups\\";
        QTest::newRow("backup path empty") << "BackupPath" << "" << "C:\\Prog\\EnvBackups\\";
        QTest::newRow("backup path blanks kept") << "BackupPath" << "  " << "  ";
        QTest::newRow("texture path, name case") << "backuptexturepath" << "E:\\T\\" << "E:\\T\\";
        QTest::newRow("texture path empty") << "BackupTexturePath" << "" << "C:\\Prog\\TextureBackups\\";
        QTest::newRow("browser") << "Browser" << "C:\\Opera\\opera.exe" << "C:\\Opera\\opera.exe";
        QTest::newRow("browser empty") << "Browser" << "" << "C:\\WINNT\\explorer.exe";
        QTest::newRow("documentation empty") << "Documentation" << "" << "C:\\Prog\\Manual.htm";
        QTest::newRow("homepage") << "Homepage" << "http://x.example/" << "http://x.example/";
        QTest::newRow("scenery ext") << "SceneryFileExt" << "*.bgl" << "*.bgl";
        QTest::newRow("scenery ext blanks") << "SceneryFileExt" << "   " << "*.bgl;*.dat;*.isu;*.xcl;*.mpf;*.dki";
        QTest::newRow("texture ext empty") << "TextureFileExt" << "" << "*.bmp;*.phi;*.r8;*.??f;*.pat;*.oav;*.agn";
        QTest::newRow("texture ext") << "TEXTUREFILEEXT" << "*.r8" << "*.r8";
    }
    void storedTexts()
    {
        QFETCH(QString, name);
        QFETCH(QString, stored);
        QFETCH(QString, expected);
        TestEnv env;
        ProgramSettings settings(*env.settings, QStringLiteral("C:\\Prog"), QStringLiteral("C:\\WINNT\\"));
        settings.setValue(name, stored);
        const QString lower = name.toLower();
        const QString actual = lower == QStringLiteral("backuppath")          ? settings.backupPath()
                               : lower == QStringLiteral("backuptexturepath") ? settings.backupTexturePath()
                               : lower == QStringLiteral("browser")           ? settings.browser()
                               : lower == QStringLiteral("documentation")     ? settings.documentation()
                               : lower == QStringLiteral("homepage")          ? settings.homepage()
                               : lower == QStringLiteral("sceneryfileext")    ? settings.sceneryFileExt()
                                                                              : settings.textureFileExt();
        QCOMPARE(actual, expected);
    }

    void filter_data()
    {
        QTest::addColumn<QString>("stored");  // null: not stored
        QTest::addColumn<bool>("applied");
        QTest::addColumn<Boxes>("expected");
        QTest::newRow("missing") << QString() << false << Initial;
        QTest::newRow("empty") << "" << false << Initial;
        QTest::newRow("abc") << "abc" << false << Initial;
        QTest::newRow("number then text") << "5x" << false << Initial;
        QTest::newRow("5") << "5" << true << Boxes{true, false, true, false, false, false};
        QTest::newRow("0") << "0" << true << Boxes{};
        QTest::newRow("63") << "63" << true << Boxes{true, true, true, true, true, true};
        QTest::newRow("only bits 0 to 5") << "64" << true << Boxes{};
        QTest::newRow("blanks around") << " 34 " << true << Boxes{false, true, false, false, false, true};
        QTest::newRow("half rounds to even") << "4.5" << true << Boxes{false, false, true, false, false, false};
        QTest::newRow("other half") << "5.5" << true << Boxes{false, true, true, false, false, false};
    }
    void filter()
    {
        QFETCH(QString, stored);
        QFETCH(bool, applied);
        QFETCH(Boxes, expected);
        TestEnv env;
        ProgramSettings settings(*env.settings, env.programFolder());
        if (!stored.isNull())
            settings.setValue(QStringLiteral("Filter"), stored);
        Boxes boxes = Initial;
        QCOMPARE(settings.applyFilter(boxes), applied);
        QCOMPARE(boxes, expected);
    }

    void filterIsStoredAsItsSum_data()
    {
        QTest::addColumn<Boxes>("boxes");
        QTest::addColumn<QString>("stored");
        QTest::newRow("none") << Boxes{} << "0";
        QTest::newRow("FS95 and FS2K") << Boxes{true, false, true, false, false, false} << "5";
        QTest::newRow("CFS2") << Boxes{false, false, false, false, false, true} << "32";
        QTest::newRow("all") << Boxes{true, true, true, true, true, true} << "63";
    }
    void filterIsStoredAsItsSum()
    {
        QFETCH(Boxes, boxes);
        QFETCH(QString, stored);
        TestEnv env;
        ProgramSettings settings(*env.settings, env.programFolder());
        settings.setFilter(boxes);
        QCOMPARE(settings.value(QStringLiteral("Filter")), stored);
        Boxes back = Initial;
        QVERIFY(settings.applyFilter(back));
        QCOMPARE(back, boxes);
    }

    void numberTexts_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("numeric");
        QTest::addColumn<double>("value");
        QTest::newRow("integer") << "12" << true << 12.0;
        QTest::newRow("blanks") << "  12 " << true << 12.0;
        QTest::newRow("negative decimal") << "-3.5" << true << -3.5;
        QTest::newRow("exponent") << "1e3" << true << 1000.0;
        QTest::newRow("empty") << "" << false << 0.0;
        QTest::newRow("blanks only") << "   " << false << 0.0;
        QTest::newRow("word") << "abc" << false << 0.0;
        QTest::newRow("inf") << "inf" << false << 0.0;
        QTest::newRow("nan") << "nan" << false << 0.0;
        QTest::newRow("decimal comma") << "1,5" << false << 0.0;
        QTest::newRow("hex") << "0x10" << false << 0.0;
        QTest::newRow("trailing text") << "12abc" << false << 0.0;
        QTest::newRow("two points") << "1.2.3" << false << 0.0;
    }
    void numberTexts()
    {
        QFETCH(QString, text);
        QFETCH(bool, numeric);
        QFETCH(double, value);
        const auto number = SettingText::number(text);
        QCOMPARE(number.has_value(), numeric);
        if (numeric)
            QCOMPARE(*number, value);
    }

    void wholeNumbers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("error");  // 0: none
        QTest::newRow("2") << "2" << 2 << 0;
        QTest::newRow("2.5 to even") << "2.5" << 2 << 0;
        QTest::newRow("3.5 to even") << "3.5" << 4 << 0;
        QTest::newRow("negative") << "-7" << -7 << 0;
        QTest::newRow("word") << "abc" << 0 << 13;
        QTest::newRow("empty") << "" << 0 << 13;
        QTest::newRow("too big") << "99999999999" << 0 << 6;
    }
    void wholeNumbers()
    {
        QFETCH(QString, text);
        QFETCH(int, value);
        QFETCH(int, error);
        try {
            QCOMPARE(SettingText::toWholeNumber(text), value);
            QCOMPARE(error, 0);
        } catch (const LmError &e) {
            QCOMPARE(e.number(), error);
        }
        QCOMPARE(SettingText::wholeNumber(text).has_value(), error == 0);
    }

    void formPlacement_data()
    {
        QTest::addColumn<QString>("width");
        QTest::addColumn<QString>("state");
        QTest::addColumn<bool>("hasWidth");
        QTest::addColumn<bool>("hasState");
        QTest::newRow("numbers") << "11520" << "2" << true << true;
        QTest::newRow("abc width ignored") << "abc" << "0" << false << true;
        QTest::newRow("empty") << "" << "" << false << false;
        QTest::newRow("state text") << "9000.5" << "max" << true << false;
    }
    void formPlacement()
    {
        QFETCH(QString, width);
        QFETCH(QString, state);
        QFETCH(bool, hasWidth);
        QFETCH(bool, hasState);
        TestEnv env;
        ProgramSettings settings(*env.settings, env.programFolder());
        settings.setValue(QStringLiteral("Form.Width"), width);
        settings.setValue(QStringLiteral("form.windowstate"), state);
        QCOMPARE(settings.formWidth().has_value(), hasWidth);
        if (hasWidth)
            QCOMPARE(*settings.formWidth(), width.toDouble());
        QCOMPARE(settings.formWindowState().has_value(), hasState);
        if (hasState)
            QCOMPARE(*settings.formWindowState(), state.toInt());
    }

    void placementIsStoredAsText()
    {
        TestEnv env;
        ProgramSettings settings(*env.settings, env.programFolder());
        settings.setFormPlacement(7200.5f, 0.0f, -120.0f, 1e7f, 2);
        QCOMPARE(settings.value(QStringLiteral("Form.Height")), QStringLiteral("7200.5"));
        QCOMPARE(settings.value(QStringLiteral("Form.Left")), QStringLiteral("0"));
        QCOMPARE(settings.value(QStringLiteral("Form.Top")), QStringLiteral("-120"));
        QCOMPARE(settings.value(QStringLiteral("Form.WindowState")), QStringLiteral("2"));
        QCOMPARE(*settings.formWidth(), 1e7);
        QCOMPARE(*settings.formHeight(), 7200.5);
    }

    void functionKeysByNumber()
    {
        TestEnv env;
        ProgramSettings settings(*env.settings, env.programFolder());
        settings.setFunctionKey(1, QStringLiteral("Add Level"));
        settings.setFunctionKey(12, QStringLiteral("Info"));
        QCOMPARE(env.settings->read(SettingsStore::Root::Machine, ProgramSettings::Key, QStringLiteral("f12")),
                 QStringLiteral("Info"));
        QCOMPARE(settings.functionKey(1), QStringLiteral("Add Level"));
        QCOMPARE(settings.functionKey(0), QString());
        QCOMPARE(settings.functionKey(13), QString());
        QVERIFY_THROWS_EXCEPTION(LmError, settings.setFunctionKey(13, QStringLiteral("Info")));
        settings.setSelectedSim(2);
        QCOMPARE(settings.selectedSim(QStringLiteral("1")), QStringLiteral("2"));
        QVERIFY(settings.contains(QStringLiteral("SELECTEDSIM")));
        QVERIFY(!settings.contains(QStringLiteral("Filter")));
    }
};

QTEST_GUILESS_MAIN(TstProgramSettings)
#include "tst_programsettings.moc"
