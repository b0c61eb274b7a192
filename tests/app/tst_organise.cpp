// The organising commands on the selected node: levels, moves, drags, sceneries and the search.
// After each command the keys, records and order must still agree (organiseinvariants.h).

#include "organiseinvariants.h"
#include "windowfixture.h"

#include "airports/frmairportdir.h"
#include "app/frmmovetreenode.h"
#include "app/frmundoremove.h"

#include <QRandomGenerator>
#include <QTest>

using namespace Qt::StringLiterals;
using Answer = UiPort::Answer;
using Start::Command;

namespace {
const QString Ready = u"Ready."_s;
const QString Before = u"before"_s; // the status text before the command ran
const QString NewLevel = u"LevelNew"_s;
const QString Europe = u"LevelEurope"_s;
const QString Germany = u"LevelEurope\\Germany"_s;
const QString Asia = u"LevelAsia"_s;
const QString A = u"SceneryNew\\A"_s;
const QString B = u"SceneryNew\\B"_s;
const QString C = u"SceneryNew\\C"_s;
const QString Berlin = u"SceneryEurope\\Germany\\Berlin"_s;
const QString Paris = u"SceneryEurope\\Paris"_s;
const QStringList TopLevels{u"New"_s, u"Europe"_s, u"Asia"_s};
const NodeColor Marked = rgb(9, 9, 9);
constexpr qint16 FS98 = 2;
constexpr int FilterBoxFS2K2 = 3; // hides the FS98 sceneries

// New: A, B, C; Europe: Germany (Berlin, and Hamburg for FS98 only), Paris; Asia.
Library base()
{
    return Library()
        .scenery(u"A"_s, {.active = true})
        .scenery(u"B"_s)
        .scenery(u"C"_s)
        .level(u"Europe\\Germany"_s)
        .scenery(u"Berlin"_s, {.active = true})
        .scenery(u"Hamburg"_s, {.flySim = FS98})
        .level(u"Europe"_s)
        .scenery(u"Paris"_s)
        .level(u"Asia"_s);
}

// Loads the library in its order; A and Berlin, when there, are ticked and marked with a colour, so
// that a test sees box and colour travel with their node.
frmScenery &load(WindowFixture &f, Library library = base())
{
    frmScenery &form = f.load(library.recordOrder());
    for (const QString &key : {A, Berlin}) {
        if (TreeNode *node = f.node(key)) {
            node->setChecked(true);
            node->setBackColor(Marked);
        }
    }
    form.status().Display(Before);
    return form;
}

// The faults of the tree after a command: a colour that left its box, or a broken invariant.
QString faultAfterCommand(WindowFixture &f, bool uniqueTitles = true)
{
    for (const TreeNode *n = f.form->trvScenery().firstRoot(); n; n = n->nextInWalk()) {
        if ((n->backColor() == Marked) != n->checked())
            return u"the colour left the box of "_s + n->key();
    }
    const QString fault = organiseFault(*f.form, uniqueTitles);
    return fault.isEmpty() ? restartFault(*f.form, f.env.context) : fault;
}

bool titlesUnique(const Library &library)
{
    QSet<QString> titles;
    for (const clsScenery &scenery : library.records())
        titles.insert(scenery.Title);
    return titles.size() == library.records().size();
}

QString selectedKey(const WindowFixture &f)
{
    const TreeNode *node = f.form->trvScenery().selectedItem();
    return node ? node->key() : QString();
}

void selectOrNone(WindowFixture &f, const QString &key)
{
    if (key.isEmpty())
        f.form->trvScenery().setSelectedItem(nullptr);
    else
        f.select(key);
}

enum class Question { NotAsked, Yes, No };

// What the user does in the "Move Scenery / Level to ..." dialog.
enum class MoveChoice { NotShown, Level, Root };

// "Add Level": the user's answers, and the level the new one stands in with its children then.
struct AddLevelCase
{
    QString selected = {}; // "" nothing
    QString name = {};
    Question sameLevel = Question::NotAsked;
    bool refused = false;
    QString parent = {}; // "" the top
    QStringList children = {};
};

// "Remove Level" on a level of the library, shown with the filter on or off.
struct RemoveLevelCase
{
    Library library = base();
    bool filtered = false;
    QString selected = {};
    bool refused = false;
    bool removed = false;
    QString status = Ready;
};

// "Rename Level": a caption edited in the tree before, the answer (null: no prompt), and the key
// and caption of the level afterwards.
struct RenameLevelCase
{
    QString selected = {};
    QString labelEdited = {};
    QString answer = {};
    bool refused = false;
    QString key = {};
    QString caption = {};
};

// "Move to Level...": the choice in the dialog, its refusal, and the selected node's key and
// children afterwards, the filter off.
struct MoveCase
{
    Library library = base();
    bool filtered = false;
    QString selected = {};
    MoveChoice choice = MoveChoice::Level;
    QString target = {};
    QString refusal = {};
    QString key = {};
    QStringList children = {};
};

// The airport button: the node selected, the airport line the user takes ("" none, or Cancel), and
// the key the scenery then has.
struct AirportCase
{
    QString selected = {};
    QString airport = {};
    bool cancelled = false;
    bool shown = true;
    QString key = {};
};

// "Move Scenery on Harddrive": the local path, the folder chosen (null: cancelled, "-": no
// chooser), the refusal, where the files are then ("" where they were) and the new local path.
struct DiskMoveCase
{
    QString localPath = {};
    QString chosen = {};
    QString refusal = {};
    QString movedTo = {};
    QString newPath = {};
};

// Answers every dialog at random: the random sequence checks what holds, not which way it went.
class RandomUi : public UiPort
{
public:
    explicit RandomUi(QRandomGenerator &rng) : m_rng(rng) {}

    Answer message(const QString &, const QString &, Buttons, Icon) override
    {
        return m_rng.bounded(4) ? Answer::Yes : Answer::No;
    }
    QString input(const QString &, const QString &, const QString &) override
    {
        static const QStringList answers{u"Alpha"_s, u"Beta"_s, u"alpha"_s,       u"New"_s,
                                         u"S007"_s,  u"S123"_s, u"Gamma\\Delta"_s};
        return answers[m_rng.bounded(int(answers.size()))];
    }
    std::optional<QString> chooseFile(const FileChooser &) override { return std::nullopt; }
    std::optional<QString> chooseFolder(const QString &, const QString &) override { return std::nullopt; }
    void setBusy(bool) override {}
    void processEvents() override {}
    void showModal(FormLogic &form) override
    {
        if (auto *move = dynamic_cast<frmMoveTreeNode *>(&form)) {
            TreeNode *target = move->trvTree.firstRoot();
            for (int i = int(m_rng.bounded(quint32(move->trvTree.count()))); target && i > 0; --i)
                target = target->nextInWalk();
            move->trvTree.setSelectedItem(target);
            if (m_rng.bounded(5) == 0)
                move->cmdToRoot_Click();
            else
                move->cmdOk_Click();
        } else if (auto *undo = dynamic_cast<frmUndoRemove *>(&form)) {
            for (TreeNode *n = undo->trvRemoved.firstRoot(); n; n = n->next())
                n->setChecked(m_rng.bounded(2));
            undo->cmdOk_Click();
        }
    }

private:
    QRandomGenerator &m_rng;
};
} // namespace

class TestOrganise : public QObject
{
    Q_OBJECT

private slots:
    // ---- Levels --------------------------------------------------------------------------------

    // A new level goes first among its siblings: beside the selected level or, asked, below it;
    // below the level of a selected scenery; last at the top with nothing selected.
    void addLevel_data()
    {
        QTest::addColumn<AddLevelCase>("add");
        QTest::newRow("nothing selected: last at the top, \"\\\" made \"/\"")
            << AddLevelCase{.name = u"Oce\\ania"_s, .children = TopLevels + QStringList{u"Oce/ania"_s}};
        QTest::newRow("a scenery: first in its level")
            << AddLevelCase{.selected = Berlin,
                            .name = u"Bavaria"_s,
                            .parent = Germany,
                            .children = {u"Bavaria"_s, u"Berlin"_s, u"Hamburg"_s}};
        QTest::newRow("same level: first sibling")
            << AddLevelCase{.selected = Germany,
                            .name = u"France"_s,
                            .sameLevel = Question::Yes,
                            .parent = Europe,
                            .children = {u"France"_s, u"Germany"_s, u"Paris"_s}};
        QTest::newRow("child: first child")
            << AddLevelCase{.selected = Europe,
                            .name = u"Italy"_s,
                            .sameLevel = Question::No,
                            .parent = Europe,
                            .children = {u"Italy"_s, u"Germany"_s, u"Paris"_s}};
        QTest::newRow("caption taken") << AddLevelCase{.selected = Europe,
                                                       .name = u"Asia"_s,
                                                       .sameLevel = Question::Yes,
                                                       .refused = true,
                                                       .children = TopLevels};
    }
    void addLevel()
    {
        QFETCH(AddLevelCase, add);
        WindowFixture f;
        frmScenery &form = load(f);
        selectOrNone(f, add.selected);
        f.env.ui.expectInput(u"Enter name for the new level:"_s, u"New Level"_s, add.name);
        if (add.sameLevel != Question::NotAsked) {
            f.env.ui.expectMessage(u"Do you want to insert the new entry on the same level?"_s,
                                   u"Same level or child?"_s,
                                   add.sameLevel == Question::Yes ? Answer::Yes : Answer::No);
        }
        if (add.refused)
            f.env.ui.expectMessageStartingWith(u"There is already a level named"_s, u"Can not add level."_s);
        form.runCommand(Command::AddLevel);
        QVERIFY(f.env.ui.allShown());
        QCOMPARE(f.childTitles(add.parent), add.children);
        QCOMPARE(selectedKey(f), add.selected);
        QCOMPARE(f.statusText(), Ready);
        QCOMPARE(faultAfterCommand(f), QString());
    }

    // A level goes only when nothing is below it, a scenery the filter hides included; "New"
    // stays without a word.
    void removeLevel_data()
    {
        QTest::addColumn<RemoveLevelCase>("remove");
        QTest::newRow("empty level") << RemoveLevelCase{
            .library = base().level(u"Asia\\Tokyo"_s), .selected = u"LevelAsia\\Tokyo"_s, .removed = true};
        QTest::newRow("level with children") << RemoveLevelCase{.selected = Europe, .refused = true};
        QTest::newRow("New") << RemoveLevelCase{.selected = NewLevel, .status = Before};
        QTest::newRow("a hidden scenery below")
            << RemoveLevelCase{.library = base().level(u"Asia"_s).scenery(u"Tokyo"_s, {.flySim = FS98}),
                               .filtered = true,
                               .selected = Asia,
                               .refused = true};
    }
    void removeLevel()
    {
        QFETCH(RemoveLevelCase, remove);
        WindowFixture f;
        frmScenery &form = load(f, remove.library);
        form.chkFilter_Click(FilterBoxFS2K2, remove.filtered);
        const QStringList before = treeLines(form.trvScenery());
        f.select(remove.selected);
        if (remove.refused) {
            f.env.ui.expectMessage(u"This Level contains subitems. Please remove them before."_s,
                                   u"Can not remove level."_s);
        }
        form.runCommand(Command::RemoveLevel);
        QVERIFY(f.env.ui.allShown());
        QCOMPARE(f.statusText(), remove.status);
        QCOMPARE(f.node(remove.selected) == nullptr, remove.removed);
        QCOMPARE(f.manager->dicLevel.contains(remove.selected), !remove.removed);
        if (!remove.removed)
            QCOMPARE(treeLines(form.trvScenery()), before);
        form.chkFilter_Click(FilterBoxFS2K2, false);
        QCOMPARE(faultAfterCommand(f), QString());
    }

    // The caption typed is trimmed, "\\" becomes "/", and the level and everything below it take the new key,
    // built from the parent; "New", a caption a sibling has and no caption change nothing.
    void renameLevel_data()
    {
        QTest::addColumn<RenameLevelCase>("rename");
        QTest::newRow("trimmed, \"\\\" made \"/\", the subtree re-keyed")
            << RenameLevelCase{.selected = Germany,
                               .answer = u" Bava\\ria "_s,
                               .key = u"LevelEurope\\Bava/ria"_s,
                               .caption = u"Bava/ria"_s};
        QTest::newRow("after a label edit") << RenameLevelCase{.selected = Germany,
                                                               .labelEdited = u"Bayern"_s,
                                                               .answer = u"Franken"_s,
                                                               .key = u"LevelEurope\\Franken"_s,
                                                               .caption = u"Franken"_s};
        QTest::newRow("a sibling's caption") << RenameLevelCase{
            .selected = Europe, .answer = u"Asia"_s, .refused = true, .key = Europe, .caption = u"Europe"_s};
        QTest::newRow("New") << RenameLevelCase{.selected = NewLevel, .key = NewLevel, .caption = u"New"_s};
    }
    void renameLevel()
    {
        QFETCH(RenameLevelCase, rename);
        WindowFixture f;
        frmScenery &form = load(f);
        f.select(rename.selected);
        const QStringList children = f.childTitles(rename.selected);
        if (!rename.labelEdited.isEmpty())
            form.trvScenery_AfterLabelEdit(f.node(rename.selected), rename.labelEdited);
        if (!rename.answer.isNull()) {
            f.env.ui.expectInput(u"Insert the new caption for the level: "_s +
                                     f.node(rename.selected)->text(),
                                 u"Rename Level"_s, rename.answer);
        }
        if (rename.refused)
            f.env.ui.expectMessageStartingWith(u"There is already a level named"_s,
                                               u"Can not rename level."_s);
        form.runCommand(Command::RenameLevel);
        QVERIFY(f.env.ui.allShown());
        QCOMPARE(selectedKey(f), rename.key);
        QCOMPARE(f.node(rename.key)->text(), rename.caption);
        QCOMPARE(f.childTitles(rename.key), children);
        QCOMPARE(faultAfterCommand(f), QString());
    }

    // By character code; equal texts (a level and a scenery "x") keep their order, and a node
    // keeps its box and its subtree.
    void sortLevel_data()
    {
        QTest::addColumn<Command>("command");
        QTest::addColumn<QStringList>("children");
        QTest::newRow("ascending") << Command::SortLevelAscending
                                   << QStringList{u"P"_s, u"Q"_s, u"p"_s, u"q"_s, u"x"_s, u"x"_s};
        QTest::newRow("descending") << Command::SortLevelDescending
                                    << QStringList{u"x"_s, u"x"_s, u"q"_s, u"p"_s, u"Q"_s, u"P"_s};
    }
    void sortLevel()
    {
        QFETCH(Command, command);
        QFETCH(QStringList, children);
        WindowFixture f;
        Library library = base().level(u"S\\x"_s).scenery(u"in"_s).level(u"S"_s);
        for (const QString &title : {u"q"_s, u"P"_s, u"x"_s, u"p"_s, u"Q"_s})
            library.scenery(title);
        frmScenery &form = load(f, library);
        f.select(u"LevelS"_s);
        form.runCommand(command);
        QCOMPARE(f.childTitles(u"LevelS"_s), children);
        QCOMPARE(f.childTitles(u"LevelS\\x"_s), QStringList{u"in"_s});
        QCOMPARE(faultAfterCommand(f), QString());
    }

    // ---- Moves ---------------------------------------------------------------------------------

    // "Move to Level..." takes the selected node with everything below it into the level chosen,
    // or a level to the top; a move that would give a level a place inside itself, or a key a
    // second node, is refused; "New" never moves.
    void moveToLevel_data()
    {
        QTest::addColumn<MoveCase>("move");
        const QString cycle = u"A level can not be moved into itself or into one of the levels below it."_s;
        const QStringList germany{u"Berlin"_s, u"Hamburg"_s};
        QTest::newRow("a scenery") << MoveCase{.selected = A, .target = Europe, .key = u"SceneryEurope\\A"_s};
        QTest::newRow("a level with hidden sceneries") << MoveCase{.filtered = true,
                                                                   .selected = Germany,
                                                                   .target = Asia,
                                                                   .key = u"LevelAsia\\Germany"_s,
                                                                   .children = germany};
        QTest::newRow("a level to the top") << MoveCase{
            .selected = Germany, .choice = MoveChoice::Root, .key = u"LevelGermany"_s, .children = germany};
        QTest::newRow("into itself") << MoveCase{.selected = Europe,
                                                 .target = Europe,
                                                 .refusal = cycle,
                                                 .key = Europe,
                                                 .children = {u"Germany"_s, u"Paris"_s}};
        QTest::newRow("title in the level")
            << MoveCase{.library = base().level(u"Europe"_s).scenery(u"A"_s),
                        .selected = A,
                        .target = Europe,
                        .refusal = u"The level \"Europe\" already holds a scenery named \"A\"."_s,
                        .key = A};
        QTest::newRow("caption at the top")
            << MoveCase{.library = base().level(u"Germany"_s),
                        .selected = Germany,
                        .choice = MoveChoice::Root,
                        .refusal = u"The top level already holds a level named \"Germany\"."_s,
                        .key = Germany,
                        .children = germany};
        QTest::newRow("New") << MoveCase{.selected = NewLevel,
                                         .choice = MoveChoice::NotShown,
                                         .key = NewLevel,
                                         .children = {u"A"_s, u"B"_s, u"C"_s}};
    }
    void moveToLevel()
    {
        QFETCH(MoveCase, move);
        WindowFixture f;
        frmScenery &form = load(f, move.library);
        form.chkFilter_Click(FilterBoxFS2K2, move.filtered);
        f.select(move.selected);
        const QStringList before = treeLines(form.trvScenery());
        if (move.choice != MoveChoice::NotShown) {
            const qsizetype levels = f.manager->dicLevel.count();
            f.env.ui.expectForm<frmMoveTreeNode>(
                u"frmMoveTreeNode"_s, [move, levels](frmMoveTreeNode &dialog) {
                    QCOMPARE(dialog.cmdToRootVisible, isLevelKey(move.selected));
                    QCOMPARE(dialog.trvTree.count(), levels); // the levels only
                    dialog.trvTree.setSelectedItem(dialog.trvTree.node(move.target));
                    if (move.choice == MoveChoice::Level)
                        dialog.cmdOk_Click();
                    else
                        dialog.cmdToRoot_Click();
                });
        }
        if (!move.refusal.isEmpty())
            f.env.ui.expectMessage(move.refusal, u"Can not move"_s);
        form.runCommand(Command::MoveToLevel);
        QVERIFY(f.env.ui.allShown());
        QCOMPARE(selectedKey(f), move.key);
        if (move.key == move.selected)
            QCOMPARE(treeLines(form.trvScenery()), before);
        form.chkFilter_Click(FilterBoxFS2K2, false);
        QCOMPARE(f.childTitles(move.key), move.children);
        QCOMPARE(faultAfterCommand(f, titlesUnique(move.library)), QString());
    }

    // A scenery pressed and moved with the left button is dragged; dropped on a level it moves
    // there, dropped elsewhere it stays. Levels are not dragged.
    void dragScenery_data()
    {
        QTest::addColumn<QString>("dragged");
        QTest::addColumn<QString>("over"); // "" empty space
        QTest::addColumn<bool>("dragStarts");
        QTest::addColumn<QString>("highlight");
        QTest::addColumn<QString>("key");
        QTest::newRow("onto a level") << A << Europe << true << Europe << u"SceneryEurope\\A"_s;
        QTest::newRow("onto a scenery") << A << Paris << true << QString() << A;
        QTest::newRow("a level") << Germany << Asia << false << Asia << Germany;
    }
    void dragScenery()
    {
        QFETCH(QString, dragged);
        QFETCH(QString, over);
        QFETCH(bool, dragStarts);
        QFETCH(QString, highlight);
        QFETCH(QString, key);
        WindowFixture f;
        frmScenery &form = load(f);
        form.trvScenery_MouseDown(f.node(dragged));
        QCOMPARE(form.trvScenery_MouseMove(true), dragStarts);
        form.trvScenery_DragOver(f.node(over));
        QCOMPARE(form.organiser().dropHighlightKey(), highlight);
        form.trvScenery_DragDrop();
        QVERIFY(!form.organiser().dragging());
        QVERIFY(form.organiser().dropHighlightKey().isEmpty());
        QVERIFY(f.node(key));
        QCOMPARE(selectedKey(f), key);
        QCOMPARE(faultAfterCommand(f), QString());
    }

    // "Move top", "Move up", "Move down" and "Move bottom" among the siblings, a level with its
    // subtree; at the end already, nothing moves.
    void moveAmongSiblings_data()
    {
        QTest::addColumn<QString>("selected");
        QTest::addColumn<Command>("command");
        QTest::addColumn<QString>("parent");
        QTest::addColumn<QStringList>("children");
        const QStringList abc{u"A"_s, u"B"_s, u"C"_s};
        QTest::newRow("top, first already") << A << Command::MoveTop << NewLevel << abc;
        QTest::newRow("up, first already") << A << Command::MoveUp << NewLevel << abc;
        QTest::newRow("top") << C << Command::MoveTop << NewLevel << QStringList{u"C"_s, u"A"_s, u"B"_s};
        QTest::newRow("up") << B << Command::MoveUp << NewLevel << QStringList{u"B"_s, u"A"_s, u"C"_s};
        QTest::newRow("down") << A << Command::MoveDown << NewLevel << QStringList{u"B"_s, u"A"_s, u"C"_s};
        QTest::newRow("bottom") << A << Command::MoveBottom << NewLevel
                                << QStringList{u"B"_s, u"C"_s, u"A"_s};
    }
    void moveAmongSiblings()
    {
        QFETCH(QString, selected);
        QFETCH(Command, command);
        QFETCH(QString, parent);
        QFETCH(QStringList, children);
        WindowFixture f;
        frmScenery &form = load(f);
        f.select(selected);
        form.runCommand(command);
        QCOMPARE(f.childTitles(parent), children);
        QCOMPARE(selectedKey(f), selected);
        QCOMPARE(f.childTitles(Germany), (QStringList{u"Berlin"_s, u"Hamburg"_s}));
        QCOMPARE(faultAfterCommand(f), QString());
    }

    // The "Move to" page shows the levels as they are, also one added while it shows; a scenery
    // dropped on one of them moves there, and the first scenery left in "New" is selected.
    void moveToPage()
    {
        WindowFixture f;
        frmScenery &form = load(f);
        form.tbsScenery_Click(DetailsPanel::TabMoveTo);
        Tree &moveTo = form.organiser().trvMoveTo();
        QCOMPARE(moveTo.count(), 4);
        f.env.ui.expectInput(u"Enter name for the new level:"_s, u"New Level"_s, u"Oceania"_s);
        form.runCommand(Command::AddLevel);
        QVERIFY(moveTo.node(u"LevelOceania"_s));
        moveTo.setSelectedItem(moveTo.node(Germany));
        const bool expanded = moveTo.node(Germany)->expanded();
        form.trvMoveTo_DblClick();
        QCOMPARE(moveTo.node(Germany)->expanded(), !expanded);
        form.trvScenery_MouseDown(f.node(A));
        QVERIFY(form.trvScenery_MouseMove(true));
        form.trvMoveTo_DragOver(moveTo.node(Asia));
        QCOMPARE(form.organiser().moveToDropHighlightKey(), Asia);
        form.trvMoveTo_DragDrop();
        QVERIFY(!form.organiser().dragging());
        QVERIFY(form.organiser().moveToDropHighlightKey().isEmpty());
        QCOMPARE(f.childTitles(Asia), QStringList{u"A"_s});
        QCOMPARE(selectedKey(f), B);
        QCOMPARE(form.details().displayedScenery()->Key, B);
        QCOMPARE(organiseFault(form), QString());
    }

    // A refused re-key is planned for the whole subtree first and changes nothing.
    void refusedRenameChangesNothing()
    {
        WindowFixture f;
        frmScenery &form = load(f, Library()
                                       .level(u"New"_s)
                                       .level(u"Europe"_s)
                                       .scenery(u"Twin"_s, {.key = u"SceneryEurope\\One"_s})
                                       .scenery(u"Twin"_s, {.key = u"SceneryEurope\\Two"_s}));
        const QStringList sceneries = f.manager->colScenery.keys();
        const QStringList levels = f.manager->dicLevel.keys();
        const QStringList tree = treeLines(form.trvScenery());
        f.select(Europe);
        f.env.ui.expectInput(u"Insert the new caption for the level: Europe"_s, u"Rename Level"_s, u"Asia"_s);
        f.env.ui.expectMessage(u"The new caption would give two entries the key \"SceneryAsia\\Twin\"."_s,
                               u"Can not rename level."_s);
        form.runCommand(Command::RenameLevel);
        QVERIFY(f.env.ui.allShown());
        QCOMPARE(f.manager->colScenery.keys(), sceneries);
        QCOMPARE(f.manager->dicLevel.keys(), levels);
        QCOMPARE(treeLines(form.trvScenery()), tree);
    }

    // A scenery that leaves its level hands its place to what followed it there, also to a
    // follower the filter hides: once the filter is off, that one stands where the moved one stood.
    void hiddenFollowerTakesTheMovedPlace()
    {
        WindowFixture f;
        frmScenery &form = load(f, Library()
                                       .scenery(u"Z"_s)
                                       .scenery(u"A"_s)
                                       .scenery(u"H"_s, {.flySim = FS98})
                                       .scenery(u"B"_s)
                                       .level(u"Europe"_s));
        form.chkFilter_Click(FilterBoxFS2K2, true);
        f.select(A);
        f.env.ui.expectForm<frmMoveTreeNode>(u"frmMoveTreeNode"_s, [](frmMoveTreeNode &dialog) {
            dialog.trvTree.setSelectedItem(dialog.trvTree.node(Europe));
            dialog.cmdOk_Click();
        });
        form.runCommand(Command::MoveToLevel);
        QCOMPARE(f.scenery(u"SceneryNew\\H"_s).PreviousKey, u"SceneryNew\\Z"_s);
        form.chkFilter_Click(FilterBoxFS2K2, false);
        QCOMPARE(f.childTitles(NewLevel), (QStringList{u"Z"_s, u"H"_s, u"B"_s}));
        QCOMPARE(f.childTitles(Europe), QStringList{u"A"_s});
    }

    // ---- Sceneries -----------------------------------------------------------------------------

    // A removed scenery goes into the removed list; the next scenery, else the one before, else
    // the level is selected. Nothing is removed on No or with a level selected.
    void removeScenery_data()
    {
        QTest::addColumn<Library>("library");
        QTest::addColumn<QString>("selected");
        QTest::addColumn<Question>("asked");
        QTest::addColumn<QString>("selectedAfter");
        QTest::newRow("the next selected") << base() << B << Question::Yes << C;
        QTest::newRow("the one before selected") << base() << C << Question::Yes << B;
        QTest::newRow("the level selected") << base().level(u"Asia"_s).scenery(u"Tokyo"_s)
                                            << u"SceneryAsia\\Tokyo"_s << Question::Yes << Asia;
        QTest::newRow("answered No") << base() << B << Question::No << B;
        QTest::newRow("a level selected") << base() << Asia << Question::NotAsked << Asia;
    }
    void removeScenery()
    {
        QFETCH(Library, library);
        QFETCH(QString, selected);
        QFETCH(Question, asked);
        QFETCH(QString, selectedAfter);
        WindowFixture f;
        frmScenery &form = load(f, library);
        f.select(selected);
        const QString title = f.node(selected)->text();
        if (asked != Question::NotAsked) {
            f.env.ui.expectMessage(u"Do you want to remove scenery %1?"_s.arg(title), u"Remove Scenery"_s,
                                   asked == Question::Yes ? Answer::Yes : Answer::No);
        }
        form.runCommand(Command::RemoveScenery);
        QVERIFY(f.env.ui.allShown());
        const bool removed = asked == Question::Yes;
        QCOMPARE(f.node(selected) == nullptr, removed);
        QCOMPARE(form.organiser().removedList().keys(), removed ? QStringList{selected} : QStringList());
        QCOMPARE(selectedKey(f), selectedAfter);
        QCOMPARE(faultAfterCommand(f), QString());
    }

    // "Undo remove Scenery" offers the removed sceneries and brings the ticked ones back into
    // "New", inactive and coloured; a title the library has again keeps its scenery in the list.
    void undoRemove()
    {
        WindowFixture f;
        frmScenery &form = load(f);
        const auto remove = [&](const QString &key) {
            f.select(key);
            f.env.ui.expectMessageStartingWith(u"Do you want to remove scenery"_s, u"Remove Scenery"_s,
                                               Answer::Yes);
            form.runCommand(Command::RemoveScenery);
        };
        // The dialog offers the removed titles; the ticked ones are restored, or it is cancelled.
        const auto undo = [&](const QStringList &offered, const QStringList &ticked,
                              const QString &kept = {}) {
            f.env.ui.expectForm<frmUndoRemove>(u"frmUndoRemove"_s, [=](frmUndoRemove &dialog) {
                QStringList titles;
                for (TreeNode *n = dialog.trvRemoved.firstRoot(); n; n = n->next()) {
                    titles << n->text();
                    n->setChecked(ticked.contains(n->text()));
                }
                QCOMPARE(titles, offered);
                if (ticked.isEmpty())
                    dialog.cmdCancel_Click();
                else
                    dialog.cmdOk_Click();
            });
            if (!kept.isEmpty())
                f.env.ui.expectMessageStartingWith(kept, u"Undo remove Scenery"_s);
            form.runCommand(Command::UndoRemoveScenery);
        };
        remove(Berlin);
        remove(A);
        undo({u"Berlin"_s, u"A"_s}, {});
        undo({u"Berlin"_s, u"A"_s}, {u"Berlin"_s});
        QVERIFY(f.env.ui.allShown());
        const QString restored = u"SceneryNew\\Berlin"_s;
        QCOMPARE(f.childTitles(NewLevel), (QStringList{u"B"_s, u"C"_s, u"Berlin"_s}));
        QCOMPARE(form.organiser().removedList().keys(), QStringList{A});
        QVERIFY(!f.scenery(restored).Active);
        QCOMPARE(f.node(restored)->backColor(), NodeColor(rgb(240, 240, 0)));
        QCOMPARE(f.node(restored)->foreColor(), NodeColor(rgb(255, 100, 100)));

        remove(restored); // removed again: one entry per key
        f.select(C);
        f.env.ui.expectInput(u"Insert the new name for the scenery: C"_s, u"Rename Scenery"_s, u"A"_s);
        form.runCommand(Command::RenameScenery);
        undo({u"A"_s, u"Berlin"_s}, {u"A"_s, u"Berlin"_s},
             u"The library already holds a scenery of the same title"_s);
        QVERIFY(f.env.ui.allShown());
        QCOMPARE(f.childTitles(NewLevel), (QStringList{u"B"_s, u"A"_s, u"Berlin"_s}));
        QCOMPARE(form.organiser().removedList().keys(), QStringList{A});
        QVERIFY(form.organiser().removedList().item(A)->Active);
        QCOMPARE(organiseFault(form), QString());
        form.libraryTree().UndisplayAllTree(); // the rebuild gives the ordinary colours
        QCOMPARE(f.node(restored)->foreColor(), NodeColor(LibraryTree::InactiveForeColor));
    }

    // The title typed is trimmed and "\" becomes "/"; a title the library has is refused.
    void renameScenery_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("refused");
        QTest::addColumn<QString>("key");
        QTest::newRow("trimmed") << u" Lyon "_s << false << u"SceneryEurope\\Lyon"_s;
        QTest::newRow("a title of the library") << u"Berlin"_s << true << Paris;
        QTest::newRow("no title") << QString() << false << Paris;
    }
    void renameScenery()
    {
        QFETCH(QString, answer);
        QFETCH(bool, refused);
        QFETCH(QString, key);
        WindowFixture f;
        frmScenery &form = load(f);
        f.select(Paris);
        f.env.ui.expectInput(u"Insert the new name for the scenery: Paris"_s, u"Rename Scenery"_s, answer);
        if (refused) {
            f.env.ui.expectMessage(u"There is already a scenery named \"%1\" in the library."_s.arg(answer),
                                   u"Can not rename scenery."_s);
        }
        form.runCommand(Command::RenameScenery);
        QVERIFY(f.env.ui.allShown());
        QCOMPARE(selectedKey(f), key);
        QCOMPARE(form.details().fields().txtTitle, f.node(key)->text());
        QCOMPARE(f.statusText(), Ready);
        QCOMPARE(faultAfterCommand(f), QString());
    }

    // Sets hold titles: a renamed scenery stays in every set, in its place, and the simulator's
    // Scenery.cfg, which still names the old title, finds it again by its folder at the next start.
    void renamedSceneryKeepsItsSets()
    {
        WindowFixture f;
        frmScenery &form = f.load(
            Library()
                .scenery(u"Before"_s, {.isLocalPath = true, .localPath = u"Addon Scenery\\Alps"_s})
                .scenery(u"Other"_s, {.localPath = u"Addon Scenery\\Other"_s})
                .set(u"Europe"_s, Sim::FS2002, {u"Other"_s, u"Before"_s, u"Third"_s})
                .set(u"Winter"_s, Sim::FS2000, {u"Before"_s})
                .recordOrder(),
            Library().scenery(u"Before"_s, {.isLocalPath = true, .localPath = u"Addon Scenery\\Alps"_s}));
        f.select(u"SceneryNew\\Before"_s);
        f.env.ui.expectInput(u"Insert the new name for the scenery: Before"_s, u"Rename Scenery"_s,
                             u"After"_s);
        form.runCommand(Command::RenameScenery);
        QCOMPARE(f.members(u"Europe"_s), (QStringList{u"Other"_s, u"After"_s, u"Third"_s}));
        QCOMPARE(f.members(u"Winter"_s), QStringList{u"After"_s});
        QCOMPARE(f.members(u"(Current)"_s), QStringList{u"After"_s});

        f.env.ui.expectMessage(u"Do you want to save the changes to the database?"_s, u"Update Database"_s,
                               Answer::Yes);
        form.Form_Unload();
        f.create().Form_Load();
        QVERIFY(f.env.ui.allShown());
        QCOMPARE(f.manager->colScenery.keys(), (QStringList{u"SceneryNew\\After"_s, u"SceneryNew\\Other"_s}));
        QCOMPARE(f.members(u"(Current)"_s), QStringList{u"After"_s});
        QCOMPARE(f.members(u"Europe"_s), (QStringList{u"Other"_s, u"After"_s, u"Third"_s}));
    }

    // The airport button renames the scenery shown to the airport line taken, as "Rename Scenery"
    // does (its refusal of a title the library has included): key, node and sets follow.
    void airportButton_data()
    {
        QTest::addColumn<AirportCase>("c");
        const QString frankfurt = u"EDDF Frankfurt Main"_s;
        QTest::newRow("an airport") << AirportCase{
            .selected = Paris, .airport = frankfurt, .key = u"SceneryEurope\\"_s + frankfurt};
        QTest::newRow("cancelled") << AirportCase{
            .selected = Paris, .airport = frankfurt, .cancelled = true, .key = Paris};
        QTest::newRow("a level selected") << AirportCase{.selected = Europe, .shown = false, .key = Paris};
    }
    void airportButton()
    {
        QFETCH(AirportCase, c);
        WindowFixture f;
        const QString folder = f.env.programFolder() + u"\\AirportDirectory\\"_s;
        f.env.writeFile(folder + u"AD_World.txt"_s, windowsText({u"Europe"_s}));
        f.env.writeFile(folder + u"AD_Europe.txt"_s, windowsText({u"Germany"_s}));
        f.env.writeFile(folder + u"AD_Germany.txt"_s, windowsText({u"Hesse"_s}));
        f.env.writeFile(folder + u"Hesse.txt"_s, windowsText({u"EDDF Frankfurt Main"_s}));
        frmScenery &form = load(f, base().set(u"Trips"_s, Sim::FS2002, {u"Paris"_s, u"A"_s}));
        f.select(Paris);
        f.form->trvScenery().setSelectedItem(f.node(c.selected));
        if (c.shown) {
            f.env.ui.expectForm<frmAirportDir>(u"frmAirportDir"_s, [&c](frmAirportDir &dialog) {
                dialog.lstAirport_Click(int(dialog.lstAirport.items.indexOf(c.airport)));
                if (c.cancelled)
                    dialog.cmdCancel_Click();
                else
                    dialog.cmdOk_Click();
            });
        }
        const QString statusBefore = f.statusText();
        form.cmdAirportDir_Click();
        QVERIFY(f.env.ui.allShown());
        const clsScenery &paris = f.scenery(c.key);
        QCOMPARE(f.node(c.key)->text(), paris.Title);
        QCOMPARE(form.details().fields().txtTitle, paris.Title);
        QCOMPARE(f.members(u"Trips"_s), (QStringList{paris.Title, u"A"_s}));
        QCOMPARE(f.statusText(), c.shown ? Ready : statusBefore);
        const QString fault = faultAfterCommand(f);
        QVERIFY2(fault.isEmpty(), qPrintable(fault));
    }

    // "Move Scenery on Harddrive" moves the content of the scenery's folder (the folder above a
    // "scenery" folder) into the folder chosen; the source folders stay, empty.
    void moveOnDisk_data()
    {
        QTest::addColumn<DiskMoveCase>("move");
        const QString paris = u"C:\\FS2002\\Addon Scenery\\Paris"_s;
        const QString target = u"C:\\Target\\"_s;
        QTest::newRow("the folder above \"scenery\"")
            << DiskMoveCase{.localPath = u"Addon Scenery\\Paris\\scenery"_s,
                            .chosen = u"C:\\Target"_s,
                            .movedTo = target,
                            .newPath = target};
        QTest::newRow("missing folders made") << DiskMoveCase{.localPath = paris,
                                                              .chosen = u"C:\\New Place\\Deep"_s,
                                                              .movedTo = u"C:\\New Place\\Deep\\"_s,
                                                              .newPath = u"C:\\New Place\\Deep\\"_s};
        QTest::newRow("its own folder")
            << DiskMoveCase{.localPath = paris, .chosen = paris, .newPath = paris + u"\\"_s};
        QTest::newRow("its own \"Scenery\" folder")
            << DiskMoveCase{.localPath = u"Addon Scenery\\Paris\\Scenery"_s,
                            .chosen = paris + u"\\Scenery"_s,
                            .newPath = paris + u"\\Scenery\\"_s};
        QTest::newRow("inside its own folder")
            << DiskMoveCase{.localPath = paris,
                            .chosen = paris + u"\\texture"_s,
                            .refusal = u"The destination folder lies inside"_s,
                            .newPath = paris};
        QTest::newRow("cancelled") << DiskMoveCase{.localPath = paris, .newPath = paris};
        QTest::newRow("the simulator folder")
            << DiskMoveCase{.localPath = u"Scenery"_s,
                            .chosen = u"C:\\Target"_s,
                            .refusal = u"The folder C:\\FS2002 holds the simulator"_s,
                            .newPath = u"Scenery"_s};
        QTest::newRow("no local path") << DiskMoveCase{
            .chosen = u"-"_s, .refusal = u"You can not move a scenery from a readonly device."_s};
    }
    void moveOnDisk()
    {
        QFETCH(DiskMoveCase, move);
        const QString source = u"C:\\FS2002\\Addon Scenery\\Paris\\"_s;
        const QStringList files{u"scenery\\p.bgl"_s, u"texture\\p.bmp"_s, u"readme.txt"_s};
        WindowFixture f;
        for (const QString &file : files)
            f.env.writeFile(source + file, "x");
        frmScenery &form = load(f, base().scenery(u"Mover"_s, {.localPath = move.localPath}));
        const QString key = u"SceneryAsia\\Mover"_s;
        f.select(key);
        if (move.chosen != u"-"_s) {
            f.env.ui.expectFolder(move.chosen.isNull() ? std::nullopt : std::optional<QString>(move.chosen),
                                  u"Select destination folder"_s);
        }
        if (!move.refusal.isEmpty())
            f.env.ui.expectMessageStartingWith(move.refusal, u"Scenery Move."_s);
        form.runCommand(Command::MoveSceneryOnHarddrive);
        QVERIFY(f.env.ui.allShown());
        QVERIFY(!f.env.ui.busy());
        QCOMPARE(f.statusText(), Ready);
        QCOMPARE(f.scenery(key).LocalPath, move.newPath);
        QCOMPARE(form.details().fields().txtLocal, move.newPath);
        const QString at = move.movedTo.isEmpty() ? source : move.movedTo;
        for (const QString &file : files)
            QVERIFY2(f.env.fs.fileExists(at + file), qPrintable(at + file));
        QVERIFY(f.env.fs.folderExists(source + u"texture"_s));
    }

    // ---- The search ----------------------------------------------------------------------------

    // Hits come in the order the nodes were added (after a rebuild the levels, then the sceneries
    // in library order), each selected and shown until the user stops.
    void search_data()
    {
        QTest::addColumn<QString>("wanted");
        QTest::addColumn<QList<bool>>("findNext"); // the answers to "Find next?"
        QTest::addColumn<QString>("selected");
        QTest::addColumn<QString>("status");
        const QString searching = u"Search for scenery or level."_s;
        QTest::newRow("stopped at the first") << u"a"_s << QList<bool>{false} << Germany << searching;
        QTest::newRow("stopped at the third") << u"a"_s << QList<bool>{true, true, false} << A << u"A"_s;
        QTest::newRow("no hit") << u"zzz"_s << QList<bool>() << Paris << Ready;
        QTest::newRow("cancelled") << QString() << QList<bool>() << Paris << searching;
    }
    void search()
    {
        QFETCH(QString, wanted);
        QFETCH(QList<bool>, findNext);
        QFETCH(QString, selected);
        QFETCH(QString, status);
        WindowFixture f;
        frmScenery &form = load(f);
        f.select(Paris);
        f.env.ui.expectInput(u"Insert a search string:"_s, u"Search scenery or level"_s, wanted);
        for (bool next : findNext)
            f.env.ui.expectMessage(u"Find next?"_s, u"Found!"_s, next ? Answer::Yes : Answer::No);
        form.runCommand(Command::Search);
        QVERIFY(f.env.ui.allShown());
        QCOMPARE(selectedKey(f), selected);
        QCOMPARE(f.statusText(), status);
    }

    // ---- Random ----------------------------------------------------------------------------------

    // Random commands on random nodes with random answers; after each the invariants hold, and every
    // 100 steps a rebuild, a save and a restart show the same tree.
    void randomSequence()
    {
        QRandomGenerator rng(20240611);
        // Up to 40 levels in nested layers, with the captions the answers use, and 200 sceneries.
        QStringList levels{u"New"_s};
        Library library = Library().level(u"New"_s);
        for (int i = 0; i < 40; ++i) {
            const QString caption =
                QStringList{u"Alpha"_s, u"Beta"_s, u"alpha"_s, u"Gamma"_s}[rng.bounded(4)];
            const QString path =
                i < 4 ? caption : levels[1 + rng.bounded(int(levels.size()) - 1)] + u'\\' + caption;
            if (!levels.contains(path)) {
                library.level(path);
                levels << path;
            }
        }
        for (int i = 0; i < 200; ++i)
            library.level(levels[rng.bounded(int(levels.size()))])
                .scenery(u"S%1"_s.arg(i, 3, 10, QLatin1Char('0')));
        WindowFixture f;
        f.write(library.recordOrder());
        RandomUi ui(rng);
        frmScenery &form = f.create(&ui);
        form.Form_Load();
        const Command commands[] = {Command::AddLevel,
                                    Command::RemoveLevel,
                                    Command::RenameLevel,
                                    Command::SortLevelAscending,
                                    Command::SortLevelDescending,
                                    Command::MoveToLevel,
                                    Command::RemoveScenery,
                                    Command::UndoRemoveScenery,
                                    Command::RenameScenery,
                                    Command::MoveTop,
                                    Command::MoveUp,
                                    Command::MoveDown,
                                    Command::MoveBottom,
                                    Command::None};
        for (int step = 1; step <= 300; ++step) {
            std::vector<TreeNode *> nodes;
            for (TreeNode *n = form.trvScenery().firstRoot(); n; n = n->nextInWalk())
                nodes.push_back(n);
            TreeNode *node = rng.bounded(20) ? nodes[rng.bounded(quint32(nodes.size()))] : nullptr;
            form.trvScenery().setSelectedItem(node);
            form.trvScenery_NodeClick(node);
            const Command command = commands[rng.bounded(quint32(std::size(commands)))];
            if (command != Command::None) {
                form.runCommand(command);
            } else { // the node dragged onto any node
                form.trvScenery_MouseDown(node);
                form.trvScenery_MouseMove(true);
                form.trvScenery_DragOver(nodes[rng.bounded(quint32(nodes.size()))]);
                form.trvScenery_DragDrop();
            }
            const QString fault =
                organiseFault(form) + (step % 100 ? QString() : restartFault(form, *f.context));
            QVERIFY2(fault.isEmpty(),
                     qPrintable(u"step %1, command %2: %3"_s.arg(step).arg(int(command)).arg(fault)));
        }
        QVERIFY(form.organiser().removedList().count() > 0);
        QVERIFY(f.manager->dicLevel.count() > 0);
    }
};

QTEST_GUILESS_MAIN(TestOrganise)
#include "tst_organise.moc"
