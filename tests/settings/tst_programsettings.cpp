#include "platform/installation.h"
#include "platform/lmerror.h"
#include "settings/programsettings.h"
#include "support/testenv.h"

#include <QFile>
#include <QTest>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

// The six filter boxes as "101001" (box 0 first).
QString boxText(const ProgramSettings::FilterBoxes &boxes)
{
    QString out;
    for (bool checked : boxes)
        out += checked ? u'1' : u'0';
    return out;
}

QString textSetting(const ProgramSettings &s, const QString &name)
{
    const QString n = name.toLower();
    return n == u"backuppath" ? s.backupPath() : n == u"backuptexturepath" ? s.backupTexturePath()
        : n == u"browser" ? s.browser() : n == u"documentation" ? s.documentation()
        : n == u"sceneryfileext" ? s.sceneryFileExt() : n == u"texturefileext" ? s.textureFileExt()
        : s.selectedSim(u"dflt"_s);
}

} // namespace

class TstProgramSettings : public QObject
{
    Q_OBJECT

private slots:
    void texts_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("stored"); // null: not stored
        QTest::addColumn<QString>("expected");
        const QString none;
        QTest::newRow("backup path missing") << u"BackupPath"_s << none << u"C:\\Prog\\EnvBackups\\"_s;
        QTest::newRow("backup path blanks kept") << u"BackupPath"_s << u"  "_s << u"  "_s;
        QTest::newRow("texture path missing") << u"BackupTexturePath"_s << none << u"C:\\Prog\\TextureBackups\\"_s;
        QTest::newRow("browser empty") << u"Browser"_s << u""_s << u"C:\\WINNT\\explorer.exe"_s;
        QTest::newRow("documentation missing") << u"Documentation"_s << none << u"C:\\Prog\\Manual.htm"_s;
        QTest::newRow("scenery ext missing") << u"SceneryFileExt"_s << none << u"*.bgl;*.dat;*.isu;*.xcl;*.mpf;*.dki"_s;
        QTest::newRow("scenery ext blanks") << u"SceneryFileExt"_s << u"   "_s << u"*.bgl;*.dat;*.isu;*.xcl;*.mpf;*.dki"_s;
        QTest::newRow("texture ext missing") << u"TextureFileExt"_s << none << u"*.bmp;*.phi;*.r8;*.??f;*.pat;*.oav;*.agn"_s;
        QTest::newRow("selected sim: the default as given") << u"SelectedSim"_s << none << u"dflt"_s;
    }
    void texts()
    {
        QFETCH(QString, name);
        QFETCH(QString, stored);
        QFETCH(QString, expected);
        TestEnv env;
        ProgramSettings settings(*env.settings, u"C:\\Prog\\"_s, u"C:\\WINNT\\"_s);
        if (!stored.isNull())
            settings.setValue(name, stored);
        QCOMPARE(textSetting(settings, name), expected);
        // Reading wrote nothing.
        QCOMPARE(QFile::exists(env.homeHost() + u'/' + Installation::IniFileName), !stored.isNull());
    }

    void filter_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("boxes"); // afterwards; they start as 100101
        QTest::newRow("empty") << u""_s << u"100101"_s;
        QTest::newRow("abc") << u"abc"_s << u"100101"_s;
        QTest::newRow("5 is FS95 and FS2K") << u"5"_s << u"101000"_s;
        QTest::newRow("only bits 0 to 5") << u"64"_s << u"000000"_s;
        QTest::newRow("blanks around") << u" 34 "_s << u"010001"_s;
        QTest::newRow("half rounds to even") << u"4.5"_s << u"001000"_s;
        QTest::newRow("other half") << u"5.5"_s << u"011000"_s;
    }
    void filter()
    {
        QFETCH(QString, stored);
        QFETCH(QString, boxes);
        TestEnv env;
        ProgramSettings settings(*env.settings, env.programFolder());
        settings.setValue(u"Filter"_s, stored);
        ProgramSettings::FilterBoxes actual{true, false, false, true, false, true};
        QCOMPARE(settings.applyFilter(actual), settings.filter().has_value());
        QCOMPARE(boxText(actual), boxes);
        // Storing the boxes stores their sum, box 0 the lowest bit.
        settings.setFilter(actual);
        QString binary = boxes;
        std::reverse(binary.begin(), binary.end());
        QCOMPARE(settings.value(u"Filter"_s), QString::number(binary.toInt(nullptr, 2)));
    }

    void numbers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("number"); // "-" when the text is no number
        QTest::addColumn<QString>("whole");  // "!" and the error number when it fails
        QTest::newRow("blanks around") << u"  12 "_s << u"12"_s << u"12"_s;
        QTest::newRow("2.5 to even") << u"2.5"_s << u"2.5"_s << u"2"_s;
        QTest::newRow("3.5 to even") << u"3.5"_s << u"3.5"_s << u"4"_s;
        QTest::newRow("exponent") << u"1e3"_s << u"1000"_s << u"1000"_s;
        QTest::newRow("too big") << u"99999999999"_s << u"99999999999"_s << u"!6"_s;
        QTest::newRow("empty") << u""_s << u"-"_s << u"!13"_s;
        QTest::newRow("word") << u"abc"_s << u"-"_s << u"!13"_s;
        QTest::newRow("inf") << u"inf"_s << u"-"_s << u"!13"_s;
        QTest::newRow("trailing text") << u"12abc"_s << u"-"_s << u"!13"_s;
    }
    void numbers()
    {
        QFETCH(QString, text);
        QFETCH(QString, number);
        QFETCH(QString, whole);
        const auto n = SettingText::number(text);
        QCOMPARE(n ? QString::number(*n, 'g', 12) : u"-"_s, number);
        QString converted;
        try {
            converted = QString::number(SettingText::toWholeNumber(text));
        } catch (const LmError &e) {
            converted = u'!' + QString::number(e.number());
        }
        QCOMPARE(converted, whole);
        const auto w = SettingText::wholeNumber(text);
        QCOMPARE(w ? QString::number(*w) : u"!"_s, whole.startsWith(u'!') ? u"!"_s : whole);
    }

    void formPlacement()
    {
        TestEnv env;
        ProgramSettings settings(*env.settings, env.programFolder());
        settings.setFormPlacement(7200.5f, 0.0f, -120.0f, 1e7f, 2);
        QStringList stored;
        for (const QString &name : {u"Height"_s, u"Left"_s, u"Top"_s, u"WindowState"_s})
            stored << settings.value(u"Form."_s + name);
        QCOMPARE(stored.join(u'|'), u"7200.5|0|-120|2"_s);
        QCOMPARE(settings.formWidth().value_or(0) + settings.formWindowState().value_or(0), 1e7 + 2);
        // Texts that are no numbers are not read.
        settings.setValue(u"form.width"_s, u"abc"_s);
        settings.setValue(u"Form.WindowState"_s, u"max"_s);
        QVERIFY(!settings.formWidth() && !settings.formWindowState());
    }
};

QTEST_GUILESS_MAIN(TstProgramSettings)
#include "tst_programsettings.moc"
