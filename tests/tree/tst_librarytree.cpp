// The library tree: rebuilding it from the library (levels, the filter, each scenery after its
// recorded predecessor), recording its order back, ticking subtrees and re-keying a level's subtree.

#include "tree/librarytree.h"

#include "support/librarybuilder.h"

#include <QRandomGenerator>
#include <QSet>
#include <QSignalSpy>
#include <QTest>

#include <algorithm>
#include <functional>

using namespace Qt::StringLiterals;
using Shape = QList<TreeEntry>;

namespace {

// A library manager with its tree, as the main window holds them.
struct TreeEnv : LibraryEnv
{
    LibraryTree library{manager(), tree, env.ui};
};

// Puts the collection into the order of the ranks, equal ranks keeping theirs.
template<typename T>
void putInRankOrder(OrderedMap<T> &map, const std::function<qint64(const QString &key)> &rank)
{
    struct Ranked
    {
        qint64 rank;
        QString key;
        T value;
    };
    std::vector<Ranked> all;
    for (auto it = map.begin(); it != map.end(); ++it)
        all.push_back({rank(it.key()), it.key(), it.value()});
    std::stable_sort(all.begin(), all.end(),
                     [](const Ranked &a, const Ranked &b) { return a.rank < b.rank; });
    map.clear();
    for (const Ranked &entry : all)
        map.add(entry.key, entry.value);
}

// The keys given first, in their order, then the others in theirs.
template<typename T> void putInOrder(OrderedMap<T> &map, const QStringList &keys)
{
    putInRankOrder(map,
                   [&](const QString &key) { return keys.contains(key) ? keys.indexOf(key) : keys.size(); });
}

// After a rebuild with the mask, the filter goes off and on twice: the filtered tree and the full one must
// come back the same each time, and the library keeps its levels in the order of the tree.
void verifyRebuildsAreStable(TreeEnv &f, qint16 mask, bool appendUnplaced)
{
    const Shape shown = treeEntries(f.tree);
    f.library.fillTree(0, false);
    const Shape full = treeEntries(f.tree);
    for (int pass = 0; pass < 2; ++pass) {
        f.library.fillTree(mask, appendUnplaced);
        QVERIFY(sameTree(f.tree, shown));
        f.library.fillTree(0, false);
        QVERIFY(sameTree(f.tree, full));
    }
    QStringList levels;
    for (const QString &key : f.tree.keysInWalkOrder()) {
        if (isLevelKey(key))
            levels << key;
    }
    QCOMPARE(f.manager().dicLevel.keys(), levels);
}

const qint16 FlySims[] = {0, 0, 1, 2, 4, 8, 12, 16, 32, 48};

// A level and, at random, up to six sceneries and levels in it, levels up to three deep.
void addRandomLevel(Library &library, QRandomGenerator &rng, const QString &path, int depth, int &serial)
{
    library.level(path);
    for (int i = rng.bounded(0, 7); i > 0; --i) {
        const QString name = QString::number(serial++);
        if (depth < 3 && rng.bounded(4) == 0) {
            addRandomLevel(library, rng, path + u"\\L"_s + name, depth + 1, serial);
            library.level(path);
        } else {
            library.scenery(u"s"_s + name, {.flySim = FlySims[rng.bounded(10)]});
        }
    }
}

// Two to six levels at the top and the level "New", filed in the order the tree shows them.
Library randomLibrary(QRandomGenerator &rng)
{
    Library library;
    int serial = 0;
    for (int i = rng.bounded(2, 7); i > 0; --i)
        addRandomLevel(library, rng, u"L"_s + QString::number(serial++), 1, serial);
    return library.level(u"New"_s).recordOrder();
}

// The rebuild's placement rules, followed literally into a tree of its own: the oracle for random
// libraries. Levels must be listed after their parents.
void referenceFill(const SceneryManager &m, qint16 mask, bool appendUnplaced, Tree &reference)
{
    for (const LevelPtr &l : m.dicLevel)
        reference.add(reference.node(LibraryTree::getParentKey(l->sLevelKey)), Tree::Relation::Child,
                      l->sLevelKey, l->sLevelCaption);
    for (const SceneryPtr &s : m.colScenery) {
        if (mask != 0 && s->FlySim != 0 && (s->FlySim & mask) == 0)
            continue;
        TreeNode *parent = reference.node(LibraryTree::getParentKey(s->Key));
        // The first key along the chain of predecessors that has a node; a chain that runs in a
        // circle ends as an unknown key does.
        QString previous = s->PreviousKey;
        QSet<QString> seen;
        while (!previous.isEmpty() && !reference.contains(previous)) {
            if (seen.contains(previous) || !m.colScenery.contains(previous)) {
                previous.clear();
            } else {
                seen.insert(previous);
                previous = m.colScenery.value(previous)->PreviousKey;
            }
        }
        TreeNode *anchor = reference.node(previous);
        if (anchor && anchor->parent() == parent)
            reference.add(anchor, Tree::Relation::Next, s->Key, s->Title);
        else if (parent->hasChildren() && !appendUnplaced)
            reference.add(parent->firstChild(), Tree::Relation::First, s->Key, s->Title);
        else
            reference.add(parent, Tree::Relation::Child, s->Key, s->Title);
    }
}

} // namespace

class TstLibraryTree : public QObject
{
    Q_OBJECT

private slots:
    // Each scenery goes after the first node its chain of recorded predecessors leads to, when that
    // node is in its level; otherwise first in its level, or last when asked to. (The random
    // libraries below try every rule, a predecessor placed later than its follower among them;
    // these rows add captions shaped like keys and the rebuilds after an appending one.)
    void fillTreePlacesTheRecords_data()
    {
        QTest::addColumn<Library>("library");
        QTest::addColumn<QStringList>("sceneryOrder"); // keys put first in the collection
        QTest::addColumn<qint16>("mask");
        QTest::addColumn<bool>("appendUnplaced");
        QTest::addColumn<Library>("shown");
        const Library keyLike = Library()
                                    .level(u"Scenery\\X"_s)
                                    .scenery(u"a"_s)
                                    .level(u"SceneryA"_s)
                                    .scenery(u"b/c"_s)
                                    .recordOrder();
        QTest::newRow("captions that look like keys")
            << keyLike << QStringList() << qint16(0) << false << keyLike;
        QTest::newRow("no placed predecessor, appended: last")
            << Library()
                   .level(u"L"_s)
                   .scenery(u"h"_s, {.flySim = 4})
                   .sceneries({u"b"_s, u"x"_s})
                   .recordOrder()
            << QStringList{u"SceneryL\\x"_s} << qint16(8) << true
            << Library().level(u"L"_s).sceneries({u"x"_s, u"b"_s});
    }

    void fillTreePlacesTheRecords()
    {
        QFETCH(Library, library);
        QFETCH(QStringList, sceneryOrder);
        QFETCH(qint16, mask);
        QFETCH(bool, appendUnplaced);
        QFETCH(Library, shown);
        TreeEnv f;
        library.buildInto(f.manager());
        putInOrder(f.manager().colScenery, sceneryOrder);
        f.library.fillTree(mask, appendUnplaced);
        QVERIFY(sameTree(f.tree, shown.tree()));
        verifyRebuildsAreStable(f, mask, appendUnplaced);
    }

    // A scenery whose level is not in the library goes to the level "New", made when it is not
    // there, under the key it would have there when that key is free; those that followed it
    // still do.
    void sceneriesOfUnknownLevelsGoToNew_data()
    {
        QTest::addColumn<Library>("library");
        QTest::addColumn<Shape>("shown");
        const SceneryFields c{.key = u"SceneryGone\\c"_s};
        const SceneryFields a{.key = u"SceneryGone\\a"_s, .previousKey = u"SceneryGone\\c"_s};
        QTest::newRow("in their recorded order")
            << Library()
                   .level(u"New"_s)
                   .scenery(u"x"_s)
                   .level(u"Europe"_s)
                   .scenery(u"c"_s, c)
                   .scenery(u"a"_s, a)
                   .scenery(u"b"_s, {.key = u"SceneryGone\\b"_s, .previousKey = u"SceneryGone\\a"_s})
                   .recordOrder()
            << Library()
                   .level(u"New"_s)
                   .scenery(u"c"_s)
                   .scenery(u"a"_s)
                   .scenery(u"b"_s)
                   .scenery(u"x"_s)
                   .level(u"Europe"_s)
                   .tree();
        QTest::newRow("their key in New taken: kept") << Library()
                                                             .level(u"New"_s)
                                                             .scenery(u"a"_s)
                                                             .level(u"Europe"_s)
                                                             .scenery(u"a"_s, {.key = u"SceneryGone\\a"_s})
                                                      << Shape{{u"LevelNew"_s, {}, u"New"_s},
                                                               {u"SceneryGone\\a"_s, u"LevelNew"_s, u"a"_s},
                                                               {u"SceneryNew\\a"_s, u"LevelNew"_s, u"a"_s},
                                                               {u"LevelEurope"_s, {}, u"Europe"_s}};
        QTest::newRow("no level New: made")
            << Library().level(u"Europe"_s).scenery(u"tokyo"_s, {.key = u"SceneryAsia\\tokyo"_s})
            << Library().level(u"Europe"_s).level(u"New"_s).scenery(u"tokyo"_s).tree();
    }

    void sceneriesOfUnknownLevelsGoToNew()
    {
        QFETCH(Library, library);
        QFETCH(Shape, shown);
        TreeEnv f;
        library.buildInto(f.manager());
        f.library.fillTree(0, false);
        QVERIFY(sameTree(f.tree, shown));
        verifyRebuildsAreStable(f, 0, false);
    }

    // A level listed before its parent goes into it all the same; one whose parent the library
    // does not hold stays at the top rather than being lost.
    void levelsWithoutTheirParent()
    {
        TreeEnv f;
        Library()
            .level(u"X"_s)
            .level(u"A\\B\\C"_s)
            .scenery(u"c"_s)
            .level(u"Gone\\Sub"_s)
            .scenery(u"s"_s)
            .buildInto(f.manager());
        f.manager().dicLevel.remove(u"LevelGone"_s);
        putInOrder(f.manager().dicLevel, {u"LevelA\\B\\C"_s, u"LevelA\\B"_s, u"LevelX"_s});
        f.library.fillTree(0, false);
        QVERIFY(sameTree(f.tree, {{u"LevelX"_s, {}, u"X"_s},
                                  {u"LevelA"_s, {}, u"A"_s},
                                  {u"LevelA\\B"_s, u"LevelA"_s, u"B"_s},
                                  {u"LevelA\\B\\C"_s, u"LevelA\\B"_s, u"C"_s},
                                  {u"SceneryA\\B\\C\\c"_s, u"LevelA\\B\\C"_s, u"c"_s},
                                  {u"LevelGone\\Sub"_s, {}, u"Sub"_s},
                                  {u"SceneryGone\\Sub\\s"_s, u"LevelGone\\Sub"_s, u"s"_s}}));
        verifyRebuildsAreStable(f, 0, false);
    }

    // A rebuild records the order the tree shows before it clears it: moved levels and sceneries
    // keep their new places.
    void movedNodesKeepTheirPlace()
    {
        TreeEnv f;
        Library()
            .level(u"A\\A1"_s)
            .level(u"A\\A2"_s)
            .level(u"B"_s)
            .level(u"L"_s)
            .sceneries({u"a"_s, u"b"_s})
            .level(u"L\\S"_s)
            .level(u"L"_s)
            .scenery(u"c"_s)
            .recordOrder()
            .buildInto(f.manager());
        f.library.fillTree(0, false);
        const auto move = [&](const QString &key, Tree::Relation relation, const QString &relative) {
            f.tree.move(f.tree.node(key), f.tree.node(relative), relation);
        };
        move(u"LevelB"_s, Tree::Relation::Previous, u"LevelA"_s);
        move(u"LevelA\\A2"_s, Tree::Relation::Previous, u"LevelA\\A1"_s);
        move(u"SceneryL\\c"_s, Tree::Relation::Previous, u"SceneryL\\a"_s);
        move(u"SceneryL\\a"_s, Tree::Relation::Next, u"LevelL\\S"_s);
        f.library.fillTree(0, false);
        QVERIFY(sameTree(f.tree, Library()
                                     .level(u"B"_s)
                                     .level(u"A\\A2"_s)
                                     .level(u"A\\A1"_s)
                                     .level(u"L"_s)
                                     .sceneries({u"c"_s, u"b"_s})
                                     .level(u"L\\S"_s)
                                     .level(u"L"_s)
                                     .scenery(u"a"_s)
                                     .tree()));
        verifyRebuildsAreStable(f, 0, false);
    }

    // A level the tree does not show yet is kept, one the library no longer holds is dropped.
    void levelsAddedAndRemovedBetweenRebuilds()
    {
        TreeEnv f;
        Library().level(u"A"_s).scenery(u"a"_s).level(u"B"_s).level(u"C"_s).recordOrder().buildInto(
            f.manager());
        f.library.fillTree(0, false);
        f.manager().dicLevel.add(u"LevelZ"_s, std::make_shared<clsLevel>(clsLevel{u"LevelZ"_s, u"Z"_s}));
        f.manager().dicLevel.add(u"LevelA\\Y"_s,
                                 std::make_shared<clsLevel>(clsLevel{u"LevelA\\Y"_s, u"Y"_s}));
        f.manager().colScenery.add(u"SceneryZ\\z"_s,
                                   std::make_shared<clsScenery>(sceneryRecord(u"SceneryZ\\z"_s, u"z"_s)));
        f.manager().dicLevel.remove(u"LevelC"_s);
        f.library.fillTree(0, false);
        QVERIFY(sameTree(f.tree, Library()
                                     .level(u"A"_s)
                                     .scenery(u"a"_s)
                                     .level(u"A\\Y"_s)
                                     .level(u"B"_s)
                                     .level(u"Z"_s)
                                     .scenery(u"z"_s)
                                     .tree()));
    }

    // While a filter hides sceneries, recording the order keeps a hidden predecessor that still
    // leads, through hidden sceneries of the level, to the node shown above; any other gives way
    // to the node shown above.
    void recordingWithHiddenSceneries_data()
    {
        QTest::addColumn<Library>("library");
        QTest::addColumn<QString>("moved"); // after the last node of its level; "" for none
        QTest::addColumn<QStringList>("previousKeys");
        QTest::newRow("a moved scenery leaves its hidden predecessor")
            << Library()
                   .level(u"L"_s)
                   .scenery(u"a"_s)
                   .scenery(u"h"_s, {.flySim = 4})
                   .scenery(u"b"_s)
                   .scenery(u"c"_s)
                   .recordOrder()
            << u"SceneryL\\b"_s
            << QStringList{QString(), u"SceneryL\\a"_s, u"SceneryL\\c"_s, u"SceneryL\\a"_s};
        QTest::newRow("a hidden predecessor in another level")
            << Library()
                   .level(u"L"_s)
                   .scenery(u"a"_s)
                   .scenery(u"s"_s, {.previousKey = u"SceneryM\\h"_s})
                   .level(u"M"_s)
                   .scenery(u"h"_s, {.flySim = 4, .previousKey = u"SceneryL\\a"_s})
            << QString() << QStringList{QString(), u"SceneryL\\a"_s, u"SceneryL\\a"_s};
    }

    void recordingWithHiddenSceneries()
    {
        QFETCH(Library, library);
        QFETCH(QString, moved);
        QFETCH(QStringList, previousKeys);
        TreeEnv f;
        library.buildInto(f.manager());
        f.library.fillTree(8, false);
        if (!moved.isEmpty()) {
            TreeNode *node = f.tree.node(moved);
            f.tree.move(node, node->lastSibling(), Tree::Relation::Next);
        }
        f.library.updatePreviousLink();
        QStringList recorded;
        for (const SceneryPtr &s : f.manager().colScenery)
            recorded << s->PreviousKey;
        QCOMPARE(recorded, previousKeys);
    }

    // A level given a new key takes its subtree along, the sceneries the filter hides included; when
    // it leaves its level, what followed it there follows what stood above it.
    void rekeyTakesTheSubtree_data()
    {
        QTest::addColumn<QString>("newKey"); // of the level "Europe\Germany"
        QTest::addColumn<QString>("caption");
        QTest::addColumn<Library>("full"); // the tree rebuilt without a filter
        QTest::newRow("renamed") << u"LevelEurope\\Deutschland"_s << u"Deutschland"_s
                                 << Library()
                                        .level(u"Europe\\Deutschland"_s)
                                        .sceneries({u"berlin"_s, u"hamburg"_s})
                                        .level(u"Europe\\Deutschland\\Bavaria"_s)
                                        .sceneries({u"munich"_s, u"augsburg"_s})
                                        .level(u"Europe"_s)
                                        .scenery(u"paris"_s);
        QTest::newRow("moved to the top") << u"LevelGermany"_s << u"Germany"_s
                                          << Library()
                                                 .level(u"Europe"_s)
                                                 .scenery(u"paris"_s)
                                                 .level(u"Germany"_s)
                                                 .sceneries({u"berlin"_s, u"hamburg"_s})
                                                 .level(u"Germany\\Bavaria"_s)
                                                 .sceneries({u"munich"_s, u"augsburg"_s});
    }

    void rekeyTakesTheSubtree()
    {
        QFETCH(QString, newKey);
        QFETCH(QString, caption);
        QFETCH(Library, full);
        TreeEnv f;
        Library()
            .level(u"Europe\\Germany"_s)
            .scenery(u"berlin"_s)
            .scenery(u"hamburg"_s, {.flySim = 4})
            .level(u"Europe\\Germany\\Bavaria"_s)
            .scenery(u"munich"_s, {.flySim = 4})
            .scenery(u"augsburg"_s)
            .level(u"Europe"_s)
            .scenery(u"paris"_s)
            .recordOrder()
            .buildInto(f.manager());
        f.library.fillTree(8, false);
        TreeNode *germany = f.tree.node(u"LevelEurope\\Germany"_s);
        QCOMPARE(f.library.rekey(germany, newKey), QString());
        // What the window does with the node and the caption.
        if (LibraryTree::getParentKey(newKey).isEmpty())
            f.tree.move(germany, nullptr, Tree::Relation::Last);
        germany->setText(caption);
        f.manager().dicLevel.item(newKey)->sLevelCaption = caption;
        f.library.fillTree(0, false);
        QVERIFY(sameTree(f.tree, full.tree()));
    }

    void sceneryLeavingItsLevelHandsOnItsPlace()
    {
        TreeEnv f;
        Library()
            .level(u"L"_s)
            .sceneries({u"a"_s, u"b"_s, u"c"_s})
            .level(u"M"_s)
            .recordOrder()
            .buildInto(f.manager());
        f.library.fillTree(0, false);
        TreeNode *b = f.tree.node(u"SceneryL\\b"_s);
        QCOMPARE(f.library.rekey(b, u"SceneryM\\b"_s), QString());
        f.tree.move(b, f.tree.node(u"LevelM"_s), Tree::Relation::Child);
        QCOMPARE(f.manager().colScenery.item(u"SceneryL\\c"_s)->PreviousKey, u"SceneryL\\a"_s);
        f.library.fillTree(0, false);
        QVERIFY(sameTree(
            f.tree,
            Library().level(u"L"_s).sceneries({u"a"_s, u"c"_s}).level(u"M"_s).scenery(u"b"_s).tree()));
    }

    // A key that a scenery the filter hides already holds refuses the whole re-key: nothing changes.
    void takenKeyRefusesTheReKey()
    {
        TreeEnv f;
        const Library library = Library()
                                    .level(u"Europe\\Germany"_s)
                                    .scenery(u"berlin"_s)
                                    .level(u"Europe\\Germany\\Bavaria"_s)
                                    .scenery(u"munich"_s)
                                    .level(u"Europe\\Deutschland"_s)
                                    .scenery(u"berlin"_s, {.flySim = 4})
                                    .recordOrder();
        library.buildInto(f.manager());
        f.manager().dicLevel.remove(u"LevelEurope\\Deutschland"_s);
        f.library.fillTree(8, false);
        const Shape before = treeEntries(f.tree);
        const QStringList levels = f.manager().dicLevel.keys();
        QCOMPARE(f.library.rekey(f.tree.node(u"LevelEurope\\Germany"_s), u"LevelEurope\\Deutschland"_s),
                 u"SceneryEurope\\Deutschland\\berlin"_s);
        QVERIFY(sameTree(f.tree, before));
        QVERIFY(sameSceneries(f.manager(), library.records()));
        QCOMPARE(f.manager().dicLevel.keys(), levels);
    }

    // Colours show where the files are and whether the scenery is active, the box shows InCFG; the
    // author list holds each non-empty author once, compared exactly, hidden sceneries' too.
    void appearanceAndAuthors()
    {
        TreeEnv f;
        const SceneryFields berlin{.active = true, .author = u"Smith"_s, .inCfg = true, .isLocalPath = true};
        Library()
            .level(u"Europe\\Germany"_s)
            .scenery(u"berlin"_s, berlin)
            .scenery(u"h1"_s, {.flySim = 4})
            .scenery(u"paris"_s, {.author = u"smith"_s})
            .scenery(u"h2"_s, {.author = u"Jones"_s, .flySim = 4})
            .level(u"New"_s)
            .scenery(u"h3"_s, {.author = u"Smith"_s, .flySim = 4})
            .scenery(u"h4"_s, {.author = u"Smith "_s, .flySim = 4})
            .recordOrder()
            .buildInto(f.manager());
        QSignalSpy authorsChanged(&f.library, &LibraryTree::authorsChanged);
        f.library.fillTree(8, false);
        const TreeNode *local = f.tree.node(u"SceneryEurope\\Germany\\berlin"_s);
        QCOMPARE(local->backColor().value_or(0), LibraryTree::LocalBackColor);
        QCOMPARE(local->foreColor().value_or(0), LibraryTree::ActiveForeColor);
        QVERIFY(local->checked());
        const TreeNode *remote = f.tree.node(u"SceneryEurope\\Germany\\paris"_s);
        QCOMPARE(remote->backColor().value_or(0), LibraryTree::RemoteBackColor);
        QCOMPARE(remote->foreColor().value_or(0), LibraryTree::InactiveForeColor);
        QVERIFY(!remote->checked());
        // The levels of shown sceneries are expanded; levels keep the default look.
        QVERIFY(f.tree.node(u"LevelEurope"_s)->expanded());
        QVERIFY(f.tree.node(u"LevelEurope\\Germany"_s)->expanded());
        QVERIFY(!f.tree.node(u"LevelNew"_s)->expanded());
        QVERIFY(!f.tree.node(u"LevelEurope"_s)->backColor());
        QCOMPARE(f.library.authors(), (QStringList{u"Smith"_s, u"smith"_s, u"Jones"_s, u"Smith "_s}));
        QCOMPARE(authorsChanged.count(), 1);
    }

    // A scenery record under the key of a level cannot get a node of its own; that is reported and
    // the rebuild goes on.
    void failedPlacementIsReportedAndTheRebuildGoesOn()
    {
        TreeEnv f;
        const Library library =
            Library().level(u"L\\S"_s).level(u"L"_s).scenery(u"a"_s).scenery(u"b"_s).recordOrder();
        library.buildInto(f.manager());
        f.manager().colScenery.add(u"LevelL\\S"_s,
                                   std::make_shared<clsScenery>(sceneryRecord(u"LevelL\\S"_s, u"S"_s)));
        f.env.ui.expectMessage(u".fillTree\nError: 35602\nKey is not unique in collection"_s, u"Lumivale"_s,
                               UiPort::Answer::Ok, UiPort::Icon::Critical);
        f.library.fillTree(0, false);
        QVERIFY(f.env.ui.allShown());
        QVERIFY(sameTree(f.tree, library.tree()));
        QVERIFY(f.manager().colScenery.contains(u"LevelL\\S"_s));
    }

    // The window's rebuild with its filter: one reset and one notice for the view, no node signals,
    // the selection gone, and events let through once per level and per scenery, hidden ones too.
    void rebuildFilteredNotifiesOnce()
    {
        TreeEnv f;
        Library()
            .level(u"A"_s)
            .scenery(u"a"_s, {.flySim = 4})
            .scenery(u"b"_s)
            .level(u"B\\C"_s)
            .scenery(u"c"_s, {.flySim = 4})
            .scenery(u"d"_s)
            .recordOrder()
            .buildInto(f.manager(), f.tree);
        f.tree.setSelectedItem(f.tree.node(u"SceneryA\\b"_s));
        QSignalSpy reset(&f.tree, &Tree::reset);
        QSignalSpy inserted(&f.tree, &Tree::nodeAboutToBeInserted);
        QSignalSpy changed(&f.tree, &Tree::nodeChanged);
        QSignalSpy rebuilt(&f.library, &LibraryTree::treeRebuilt);
        const int events = f.env.ui.processEventsCalls();
        int boxes = 4;
        f.library.setFilterMask([&boxes] { return qint16(boxes); });
        boxes = 8; // the window's boxes are read when the tree is rebuilt
        f.library.RebuildFiltered();
        QVERIFY(sameTree(f.tree,
                         Library().level(u"A"_s).scenery(u"b"_s).level(u"B\\C"_s).scenery(u"d"_s).tree()));
        QVERIFY(!f.tree.rebuilding());
        QVERIFY(!f.tree.selectedItem());
        QCOMPARE(reset.count(), 1);
        QCOMPARE(rebuilt.count(), 1);
        QCOMPARE(inserted.count(), 0);
        QCOMPARE(changed.count(), 0);
        QCOMPARE(f.env.ui.processEventsCalls() - events, 7);
    }

    // Random libraries. A third keep the records as a rebuild leaves them, in any collection order:
    // the tree must come back, with the filter on and off. The others record any order at all:
    // predecessors in other levels, levels, unknown keys, circles, sceneries naming themselves; the
    // tree must be what the placement rules give, followed one by one.
    void randomLibraries()
    {
        const qint16 masks[] = {0, 1, 4, 8, 12, 16, 33, 63};
        for (quint32 seed = 1; seed <= 240 && !QTest::currentTestFailed(); ++seed) {
            QRandomGenerator rng(seed);
            TreeEnv f;
            const Library library = randomLibrary(rng);
            library.buildInto(f.manager());
            const qint16 mask = masks[rng.bounded(8)];
            const auto shuffle = [&] {
                putInRankOrder(f.manager().colScenery,
                               [&](const QString &) { return qint64(rng.generate()); });
            };
            const QString context = u"seed %1, mask %2"_s.arg(seed).arg(mask);
            if (seed % 3 == 0) {
                Tree all;
                Tree filtered;
                referenceFill(f.manager(), 0, false, all);
                referenceFill(f.manager(), mask, false, filtered);
                QVERIFY2(sameTree(all, library.tree()), qPrintable(context));
                for (const qint16 m : {qint16(0), mask, qint16(0)}) {
                    shuffle();
                    f.library.fillTree(m, false);
                    QVERIFY2(sameTree(f.tree, treeEntries(m ? filtered : all)), qPrintable(context));
                }
                continue;
            }
            const QStringList keys = f.manager().colScenery.keys();
            const QStringList levels = f.manager().dicLevel.keys();
            for (const SceneryPtr &s : f.manager().colScenery) {
                const int pick = rng.bounded(100);
                if (pick < 20)
                    s->PreviousKey.clear();
                else if (pick < 65)
                    s->PreviousKey = keys.at(rng.bounded(int(keys.size())));
                else if (pick < 80)
                    s->PreviousKey = levels.at(rng.bounded(int(levels.size())));
                else if (pick < 90)
                    s->PreviousKey = u"SceneryNowhere\\x"_s;
                else
                    s->PreviousKey = s->Key;
            }
            shuffle();
            const bool appendUnplaced = rng.bounded(2) == 1;
            Tree expected;
            referenceFill(f.manager(), mask, appendUnplaced, expected);
            f.library.fillTree(mask, appendUnplaced);
            QVERIFY2(sameTree(f.tree, treeEntries(expected)), qPrintable(context));
        }
    }
};

QTEST_GUILESS_MAIN(TstLibraryTree)
#include "tst_librarytree.moc"
