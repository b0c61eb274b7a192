// The values of the program's settings key: their defaults, the filter boxes, the window's
// placement and the classic number texts they are stored as.

#include "platform/installation.h"
#include "platform/lmerror.h"
#include "settings/programsettings.h"
#include "support/testenv.h"

#include <QFile>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

using Boxes = ProgramSettings::FilterBoxes;

} // namespace

Q_DECLARE_METATYPE(Boxes)

class TstProgramSettings : public QObject
{
    Q_OBJECT

private slots:
    // Reading a value not stored gives its default and writes nothing.
    void defaults()
    {
        TestEnv env;
        const ProgramSettings settings(*env.settings, u"C:\\Prog\\"_s, u"C:\\WINNT\\"_s);
        QCOMPARE(settings.backupPath(), u"C:\\Prog\\EnvBackups\\"_s);
        QCOMPARE(settings.backupTexturePath(), u"C:\\Prog\\TextureBackups\\"_s);
        QCOMPARE(settings.browser(), u"C:\\WINNT\\explorer.exe"_s);
        QCOMPARE(settings.documentation(), u"C:\\Prog\\Manual.htm"_s);
        QCOMPARE(settings.sceneryFileExt(), u"*.bgl;*.dat;*.isu;*.xcl;*.mpf;*.dki"_s);
        QCOMPARE(settings.textureFileExt(), u"*.bmp;*.phi;*.r8;*.??f;*.pat;*.oav;*.agn"_s);
        QCOMPARE(settings.selectedSim(u"dflt"_s), u"dflt"_s);
        QVERIFY(!QFile::exists(env.homeHost() + u'/' + Installation::IniFileName));
    }

    // A folder of blanks is what the user stored; an empty browser or a list of blanks is none.
    void emptyAndBlankValues()
    {
        TestEnv env;
        ProgramSettings settings(*env.settings, u"C:\\Prog\\"_s, u"C:\\WINNT\\"_s);
        settings.setValue(u"BackupPath"_s, u"  "_s);
        settings.setValue(u"Browser"_s, QString());
        settings.setValue(u"SceneryFileExt"_s, u"   "_s);
        QCOMPARE(settings.backupPath(), u"  "_s);
        QCOMPARE(settings.browser(), u"C:\\WINNT\\explorer.exe"_s);
        QCOMPARE(settings.sceneryFileExt(), ProgramSettings::DefaultSceneryFileExt);
    }

    // The stored number is the sum of the ticked boxes, box 0 the lowest bit; a text that is no
    // number leaves the boxes as they are.
    void filter_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<Boxes>("boxes"); // they start as 100101
        QTest::addColumn<qint32>("storedAgain");
        QTest::newRow("empty") << QString() << Boxes{true, false, false, true, false, true} << 41;
        QTest::newRow("5: the first and the third")
            << u"5"_s << Boxes{true, false, true, false, false, false} << 5;
        QTest::newRow("bits 0 to 5 only") << u"64"_s << Boxes{} << 0;
    }

    void filter()
    {
        QFETCH(QString, stored);
        QFETCH(Boxes, boxes);
        QFETCH(qint32, storedAgain);
        TestEnv env;
        ProgramSettings settings(*env.settings, env.programFolder());
        settings.setValue(u"Filter"_s, stored);
        Boxes actual{true, false, false, true, false, true};
        QCOMPARE(settings.applyFilter(actual), !stored.isEmpty());
        QCOMPARE(actual, boxes);
        settings.setFilter(actual);
        QCOMPARE(settings.value(u"Filter"_s), QString::number(storedAgain));
    }

    void numberTexts_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("isNumber");
        QTest::addColumn<double>("number");
        QTest::addColumn<qint32>("error"); // of the whole number
        QTest::addColumn<qint32>("whole");
        QTest::newRow("blanks around") << u"  12 "_s << true << 12.0 << 0 << 12;
        QTest::newRow("2.5 to the even 2") << u"2.5"_s << true << 2.5 << 0 << 2;
        QTest::newRow("3.5 to the even 4") << u"3.5"_s << true << 3.5 << 0 << 4;
        QTest::newRow("an exponent") << u"1e3"_s << true << 1000.0 << 0 << 1000;
        QTest::newRow("too big") << u"99999999999"_s << true << 99999999999.0 << qint32(LmError::Overflow)
                                 << 0;
        QTest::newRow("empty") << QString() << false << 0.0 << qint32(LmError::TypeMismatch) << 0;
        QTest::newRow("infinity") << u"inf"_s << false << 0.0 << qint32(LmError::TypeMismatch) << 0;
        QTest::newRow("text after the number")
            << u"12abc"_s << false << 0.0 << qint32(LmError::TypeMismatch) << 0;
    }

    void numberTexts()
    {
        QFETCH(QString, text);
        QFETCH(bool, isNumber);
        QFETCH(double, number);
        QFETCH(qint32, error);
        QFETCH(qint32, whole);
        QCOMPARE(SettingText::number(text).has_value(), isNumber);
        QCOMPARE(SettingText::number(text).value_or(0.0), number);
        qint32 converted = 0;
        qint32 thrown = 0;
        try {
            converted = SettingText::toWholeNumber(text);
        } catch (const LmError &e) {
            thrown = e.number();
        }
        QCOMPARE(thrown, error);
        QCOMPARE(converted, whole);
        QCOMPARE(SettingText::wholeNumber(text).has_value(), error == 0);
    }

    // The placement is stored as the classic single-precision texts; a text that is no number is
    // not read.
    void formPlacement()
    {
        TestEnv env;
        ProgramSettings settings(*env.settings, env.programFolder());
        settings.setFormPlacement(7200.5f, 0.0f, -120.0f, 1e7f, 2);
        QCOMPARE(settings.value(u"Form.Height"_s), u"7200.5"_s);
        QCOMPARE(settings.value(u"Form.Left"_s), u"0"_s);
        QCOMPARE(settings.value(u"Form.Top"_s), u"-120"_s);
        QCOMPARE(settings.value(u"Form.WindowState"_s), u"2"_s);
        QCOMPARE(settings.formWidth(), std::optional<double>(1e7));
        QCOMPARE(settings.formWindowState(), std::optional<qint32>(2));
        settings.setValue(u"form.width"_s, u"abc"_s);
        settings.setValue(u"Form.WindowState"_s, u"max"_s);
        QVERIFY(!settings.formWidth());
        QVERIFY(!settings.formWindowState());
    }
};

QTEST_GUILESS_MAIN(TstProgramSettings)
#include "tst_programsettings.moc"
