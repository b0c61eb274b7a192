// "Prepare CDRom" from the window: the destination and the CD's name asked for, the sets chosen in
// the set dialog's CD mode, the copy made from the whole tree while the filter hides part of it.

#include "windowfixture.h"

#include "app/filehelpers.h"
#include "scenerycfg/frmselectsets.h"

#include <QDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QString Ready = u"Ready."_s;
const QString Out = u"C:\\Out\\"_s;

// "Alps" in a level, "Oslo" for Combat Flight Simulator 2 only; a set of each simulator and one
// without a name.
Library cdLibrary()
{
    return Library()
        .level(u"Europe"_s)
        .scenery(u"Alps"_s, {.flySim = 8, .localPath = u"Addon Scenery\\Alps"_s})
        .scenery(u"Oslo"_s, {.flySim = 32, .localPath = u"Addon Scenery\\Oslo"_s})
        .scenery(u"Rome"_s, {.flySim = 8, .localPath = u"Addon Scenery\\Rome"_s})
        .set(u"Mine"_s, Sim::FS2002, {u"Alps"_s})
        .set(u"Old"_s, Sim::FS2000, {u"Oslo"_s})
        .set(QString(), Sim::FS2002, {u"Rome"_s})
        .recordOrder();
}

struct Fixture
{
    Fixture()
    {
        form = &f.load(cdLibrary());
        memory = std::make_unique<Start::FolderMemory>(*f.manager);
        form->setFolderMemory(memory.get());
        for (const QString &title : {u"Alps"_s, u"Oslo"_s})
            f.env.writeFile(u"C:\\FS2002\\Addon Scenery\\"_s + title + u"\\scenery\\x.bgl"_s,
                            title.toLatin1());
        f.env.writeFile(Out + u"keep.txt"_s);
    }
    // The user chooses C:\Out and types the name.
    void answer(const QString &name)
    {
        f.env.ui.expectFolder(Out, u"Select folder"_s)
            .expectInput(u"Insert a name for the CD"_s, u"CD Name"_s, name);
    }
    QStringList outFolder() const
    {
        return QDir(f.env.host(Out)).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    }

    WindowFixture f;
    std::unique_ptr<Start::FolderMemory> memory;
    frmScenery *form = nullptr;
};

} // namespace

class TestCdRomCommand : public QObject
{
    Q_OBJECT

private slots:
    void endsWithoutCopying_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("message"); // "" for none
        QTest::newRow("blank name") << u"   "_s << QString();
        QTest::newRow("name leaving the folder") << u"..\\Elsewhere"_s
                                                 << u"The CD name \"..\\Elsewhere\" cannot be a folder name: "
                                                    u"it may not hold \\ / : * ? \" < > | nor be "
                                                    u"made of dots alone."_s;
    }

    // Each of these ends the command with nothing made and nothing changed; the folder chosen is
    // remembered all the same.
    void endsWithoutCopying()
    {
        QFETCH(QString, name);
        QFETCH(QString, message);
        Fixture x;
        x.answer(name);
        if (!message.isEmpty())
            x.f.env.ui.expectMessage(message, u"CD Name"_s, UiPort::Answer::Ok, UiPort::Icon::Exclamation);

        x.form->runCommand(Start::Command::PrepareCdRom);

        QVERIFY(x.f.env.ui.allShown());
        QCOMPARE(x.outFolder(), QStringList{u"keep.txt"_s});
        QCOMPARE(x.memory->GetDicPath(u"CDRom"_s), Out);
        QCOMPARE(x.f.statusText(), Ready);
    }

    // The dialog offers every named set, whatever its simulator, and no other field; a scenery the
    // filter hides is copied, and stays hidden.
    void copiesTheChosenSets()
    {
        Fixture x;
        x.form->chkFilter_Click(3, true); // FS2K2: Oslo is hidden
        QVERIFY(!x.f.node(u"SceneryEurope\\Oslo"_s));
        x.answer(u" CD1 "_s);
        x.f.env.ui
            .expectForm<frmSelectSets>(u"frmSelectSets"_s,
                                       [](frmSelectSets &dialog) {
                                           QStringList offered;
                                           for (const frmSelectSets::SetNode &node :
                                                std::as_const(dialog.trvSets))
                                               offered << node.text;
                                           QCOMPARE(offered, (QStringList{u"Mine (1)"_s, u"Old (1)"_s}));
                                           QVERIFY(!dialog.generalFieldsVisible);
                                           for (frmSelectSets::SetNode &node : dialog.trvSets)
                                               node.checked = true;
                                           dialog.cmdOk_Click();
                                       })
            .expectMessage(u"CDROM Source created."_s, u"Information"_s);

        x.form->runCommand(Start::Command::PrepareCdRom);

        QVERIFY(x.f.env.ui.allShown());
        QCOMPARE(x.outFolder(), (QStringList{u"CD1"_s, u"keep.txt"_s}));
        QCOMPARE(QDir(x.f.env.host(Out + u"CD1"_s)).entryList(QDir::Dirs | QDir::NoDotAndDotDot),
                 (QStringList{u"Alps"_s, u"Oslo"_s}));
        QCOMPARE(x.f.scenery(u"SceneryEurope\\Oslo"_s).RemotePath, u"[CD1]Oslo"_s);
        QVERIFY(!x.f.node(u"SceneryEurope\\Oslo"_s));
        QCOMPARE(x.f.statusText(), Ready);
    }
};

QTEST_GUILESS_MAIN(TestCdRomCommand)
#include "tst_cdromcommand.moc"
