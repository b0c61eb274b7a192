#include "tree/librarytree.h"

#include "library/scenerymanager.h"
#include "support/testenv.h"

#include <QHash>
#include <QRandomGenerator>
#include <QSet>
#include <QSignalSpy>
#include <QTest>

#include <algorithm>
#include <memory>
#include <vector>

namespace {

const QChar Backslash = QLatin1Char('\\');

QString qs(const char *text)
{
    return QString::fromLatin1(text);
}

QStringList list(const char *csv)
{
    const QString text = qs(csv);
    return text.isEmpty() ? QStringList() : text.split(QLatin1Char(','));
}

// A library written the way the tree shows it: "#Europe(#Germany(berlin,hamburg:4),paris),#New".
// "#" marks a level, ":n" gives a scenery's FlySim, brackets hold a level's children.
struct ShapeNode
{
    QString name;
    bool level = false;
    qint16 flySim = 0;
    std::vector<ShapeNode> children;
};

std::vector<ShapeNode> parseList(const QString &text, int &pos)
{
    std::vector<ShapeNode> nodes;
    while (pos < text.size() && text.at(pos) != QLatin1Char(')')) {
        ShapeNode node;
        QString token;
        while (pos < text.size() && !QStringLiteral(",()").contains(text.at(pos)))
            token += text.at(pos++);
        node.level = token.startsWith(QLatin1Char('#'));
        if (node.level)
            token.remove(0, 1);
        const qsizetype colon = token.indexOf(QLatin1Char(':'));
        if (colon >= 0) {
            node.flySim = qint16(token.mid(colon + 1).toInt());
            token.truncate(colon);
        }
        node.name = token;
        if (pos < text.size() && text.at(pos) == QLatin1Char('(')) {
            ++pos;
            node.children = parseList(text, pos);
            ++pos;  // ')'
        }
        nodes.push_back(std::move(node));
        if (pos < text.size() && text.at(pos) == QLatin1Char(','))
            ++pos;
    }
    return nodes;
}

std::vector<ShapeNode> parse(const QString &text)
{
    int pos = 0;
    return parseList(text, pos);
}

QString levelKeyFor(const QString &parentLevelKey, const QString &caption)
{
    return parentLevelKey.isEmpty() ? QStringLiteral("Level") + caption : parentLevelKey + Backslash + caption;
}

QString sceneryKeyFor(const QString &parentLevelKey, const QString &title)
{
    return QStringLiteral("Scenery") + parentLevelKey.mid(5) + Backslash + title;
}

void addLevel(SceneryManager &m, const QString &key, const QString &caption)
{
    auto level = std::make_shared<clsLevel>();
    level->sLevelKey = key;
    level->sLevelCaption = caption;
    m.dicLevel.add(key, level);
}

SceneryPtr addScenery(SceneryManager &m, const QString &key, const QString &title, const QString &previousKey,
                      qint16 flySim = 0)
{
    auto scenery = std::make_shared<clsScenery>();
    scenery->Key = key;
    scenery->Title = title;
    scenery->PreviousKey = previousKey;
    scenery->FlySim = flySim;
    m.colScenery.add(key, scenery);
    return scenery;
}

void addNodes(SceneryManager &m, const std::vector<ShapeNode> &nodes, const QString &parentLevelKey)
{
    QString previous;
    for (const ShapeNode &n : nodes) {
        QString key;
        if (n.level) {
            key = levelKeyFor(parentLevelKey, n.name);
            addLevel(m, key, n.name);
            addNodes(m, n.children, key);
        } else {
            key = sceneryKeyFor(parentLevelKey, n.name);
            addScenery(m, key, n.name, previous, n.flySim);
        }
        previous = key;
    }
}

// The expected tree: every level, and the sceneries the mask lets through.
QString expectedDump(const std::vector<ShapeNode> &nodes, qint16 mask = 0)
{
    QStringList parts;
    for (const ShapeNode &n : nodes) {
        if (!n.level && mask != 0 && n.flySim != 0 && (n.flySim & mask) == 0)
            continue;
        QString s = (n.level ? QStringLiteral("#") : QString()) + n.name;
        const QString inner = expectedDump(n.children, mask);
        if (!inner.isEmpty())
            s += QLatin1Char('(') + inner + QLatin1Char(')');
        parts << s;
    }
    return parts.join(QLatin1Char(','));
}

QString dumpChildren(const TreeNode *first)
{
    QStringList parts;
    for (const TreeNode *n = first; n; n = n->next()) {
        QString s = (LibraryTree::isLevelKey(n->key()) ? QStringLiteral("#") : QString()) + n->text();
        if (n->firstChild())
            s += QLatin1Char('(') + dumpChildren(n->firstChild()) + QLatin1Char(')');
        parts << s;
    }
    return parts.join(QLatin1Char(','));
}

QString dump(const Tree &tree)
{
    return dumpChildren(tree.firstRoot());
}

// Puts colScenery into the order of the given titles (those not named keep their order, after them).
void reorder(OrderedMap<SceneryPtr> &sceneries, const QStringList &titles)
{
    std::vector<SceneryPtr> all(sceneries.begin(), sceneries.end());
    std::stable_sort(all.begin(), all.end(), [&](const SceneryPtr &a, const SceneryPtr &b) {
        auto rank = [&](const SceneryPtr &s) {
            const qsizetype i = titles.indexOf(s->Title);
            return i < 0 ? titles.size() : i;
        };
        return rank(a) < rank(b);
    });
    sceneries.clear();
    for (const SceneryPtr &s : all)
        sceneries.add(s->Key, s);
}

void shuffle(OrderedMap<SceneryPtr> &sceneries, QRandomGenerator &rng)
{
    std::vector<SceneryPtr> all(sceneries.begin(), sceneries.end());
    for (size_t i = all.size(); i > 1; --i)
        std::swap(all[i - 1], all[size_t(rng.bounded(int(i)))]);
    sceneries.clear();
    for (const SceneryPtr &s : all)
        sceneries.add(s->Key, s);
}

SceneryPtr byTitle(const SceneryManager &m, const QString &title)
{
    for (const SceneryPtr &s : m.colScenery)
        if (s->Title == title)
            return s;
    return {};
}

// Library records and tree nodes must agree: every record's own key is its container key, and
// every node is found under its key with the record's caption or title.
void verifyKeysAgree(const SceneryManager &m, const Tree &tree)
{
    for (auto it = m.colScenery.begin(); it != m.colScenery.end(); ++it) {
        QCOMPARE((*it)->Key, it.key());
        if (const TreeNode *n = tree.node(it.key()))
            QCOMPARE(n->text(), (*it)->Title);
    }
    for (auto it = m.dicLevel.begin(); it != m.dicLevel.end(); ++it) {
        QCOMPARE((*it)->sLevelKey, it.key());
        const TreeNode *n = tree.node(it.key());
        QVERIFY2(n, qPrintable(it.key()));
        QCOMPARE(n->text(), (*it)->sLevelCaption);
    }
    for (const TreeNode *n = tree.firstRoot(); n; n = n->nextInWalk()) {
        if (LibraryTree::isLevelKey(n->key()))
            QVERIFY2(m.dicLevel.contains(n->key()), qPrintable(n->key()));
        else
            QVERIFY2(m.colScenery.contains(n->key()), qPrintable(n->key()));
    }
}

// The rebuild's placement rules, followed literally on plain lists: the oracle for random
// libraries. Levels must be listed after their parents.
QString referenceFill(const std::vector<std::pair<QString, QString>> &levels, const std::vector<clsScenery> &sceneries,
                      qint16 mask, bool appendUnplaced)
{
    const QString root = qs("<root>");
    QHash<QString, QStringList> children;
    QHash<QString, QString> parentOf;
    QHash<QString, QString> text;
    QSet<QString> levelKeys;
    for (const auto &[key, caption] : levels) {
        const QString parent = key.contains(Backslash) ? LibraryTree::getParentKey(key) : root;
        children[parent].append(key);
        parentOf.insert(key, parent);
        text.insert(key, QLatin1Char('#') + caption);
        levelKeys.insert(key);
    }
    QHash<QString, QString> previousOf;
    for (const clsScenery &s : sceneries)
        previousOf.insert(s.Key, s.PreviousKey);
    for (const clsScenery &s : sceneries) {
        if (!(mask == 0 || s.FlySim == 0 || (s.FlySim & mask) != 0))
            continue;
        const QString parent = LibraryTree::getParentKey(s.Key);
        QStringList &siblings = children[parent];
        qsizetype at = -1;
        if (siblings.isEmpty()) {
            at = 0;
        } else if (!s.PreviousKey.isEmpty()) {
            QString p = s.PreviousKey;
            QSet<QString> seen;
            while (!p.isEmpty() && !parentOf.contains(p)) {
                if (seen.contains(p)) {
                    p.clear();
                    break;
                }
                seen.insert(p);
                p = previousOf.value(p);
            }
            if (!p.isEmpty() && parentOf.value(p) == parent)
                at = siblings.indexOf(p) + 1;
        }
        if (at < 0)
            at = appendUnplaced ? siblings.size() : 0;
        siblings.insert(at, s.Key);
        parentOf.insert(s.Key, parent);
        text.insert(s.Key, s.Title);
    }
    std::function<QString(const QString &)> render = [&](const QString &parent) {
        QStringList parts;
        for (const QString &key : children.value(parent)) {
            QString s = text.value(key);
            if (!children.value(key).isEmpty())
                s += QLatin1Char('(') + render(key) + QLatin1Char(')');
            parts << s;
        }
        return parts.join(QLatin1Char(','));
    };
    return render(root);
}

const QString FS2002 = QStringLiteral("C:\\FS2002");

} // namespace

class TstLibraryTree : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestEnv> m_env;
    std::unique_ptr<SceneryManager> m_manager;
    std::unique_ptr<Tree> m_tree;
    std::unique_ptr<LibraryTree> m_lib;

    SceneryManager &mgr() { return *m_manager; }
    Tree &tree() { return *m_tree; }
    LibraryTree &lib() { return *m_lib; }
    std::vector<ShapeNode> load(const QString &shape)
    {
        std::vector<ShapeNode> nodes = parse(shape);
        addNodes(mgr(), nodes, QString());
        return nodes;
    }

private slots:
    void init();
    void cleanup();

    void getParentKey_data();
    void getParentKey();
    void rebuildShowsLibraryInItsOrder_data();
    void rebuildShowsLibraryInItsOrder();
    void filter_data();
    void filter();
    void placement_data();
    void placement();
    void appearance_data();
    void appearance();
    void levelsFollowTheTree();
    void levelMissingFromTreeIsKept();
    void levelNodeWithoutRecordIsDropped();
    void updatePreviousLinkRecordsTreeOrder();
    void filterOnAndOffKeepsOrder_data();
    void filterOnAndOffKeepsOrder();
    void hiddenPredecessorElsewhereIsReplaced();
    void shuffledCollectionKeepsTreeOrder();
    void randomLibrariesFollowThePlacementRules();
    void largeLibraryInReverseOrder();
    void orphanSceneryGoesToNew_data();
    void orphanSceneryGoesToNew();
    void orphansKeepTheirOrder();
    void missingNewLevelIsCreated();
    void levelWithoutParent();
    void levelListedBeforeItsParent();
    void failedPlacementIsReportedAndRebuildGoesOn();
    void fixChildKeyAfterMoveToRoot();
    void fixChildKeyAfterNewCaption();
    void fixChildKeyMovesHiddenSceneries_data();
    void fixChildKeyMovesHiddenSceneries();
    void fixChildKeyRefusesTakenKey();
    void selectSubNodes();
    void authors_data();
    void authors();
    void rebuildNotifiesOnce();
    void eventsRunPerLevelAndScenery();
    void rebuildFilteredUsesTheWindowsMask();
};

void TstLibraryTree::init()
{
    m_env = std::make_unique<TestEnv>();
    m_env->installSim(1, FS2002);
    m_manager = std::make_unique<SceneryManager>(m_env->context);
    m_tree = std::make_unique<Tree>();
    m_lib = std::make_unique<LibraryTree>(*m_manager, *m_tree, m_env->ui);
}

void TstLibraryTree::cleanup()
{
    QVERIFY(m_env->ui.allShown());
    m_lib.reset();
    m_tree.reset();
    m_manager.reset();
    m_env.reset();
}

void TstLibraryTree::getParentKey_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("parent");

    QTest::newRow("scenery two deep") << qs("SceneryEurope\\Germany\\Berlin") << qs("LevelEurope\\Germany");
    QTest::newRow("level in level") << qs("LevelEurope\\Germany") << qs("LevelEurope");
    QTest::newRow("scenery in New") << qs("SceneryNew\\Berlin") << qs("LevelNew");
    QTest::newRow("top-level level") << qs("LevelEurope") << QString();
    QTest::newRow("scenery without level") << qs("SceneryBerlin") << QString();
    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("Scenery inside a caption") << qs("LevelScenery\\X") << qs("LevelScenery");
    QTest::newRow("scenery in level named Scenery") << qs("ScenerySceneryA\\b") << qs("LevelSceneryA");
    QTest::newRow("title with slash") << qs("SceneryA\\B/C") << qs("LevelA");
    QTest::newRow("deep") << qs("SceneryA\\B\\C\\D\\e") << qs("LevelA\\B\\C\\D");
}

void TstLibraryTree::getParentKey()
{
    QFETCH(QString, key);
    QFETCH(QString, parent);
    QCOMPARE(LibraryTree::getParentKey(key), parent);
}

void TstLibraryTree::rebuildShowsLibraryInItsOrder_data()
{
    QTest::addColumn<QString>("shape");

    QTest::newRow("one level") << qs("#New(a,b,c)");
    QTest::newRow("empty levels") << qs("#New,#Europe,#Asia(#Japan)");
    QTest::newRow("nested") << qs("#New(x),#Europe(#Germany(berlin,hamburg),paris,#Italy(rome))");
    QTest::newRow("scenery after a level") << qs("#A(#B(b1),a1,#C,a2)");
    QTest::newRow("scenery before levels") << qs("#A(a1,#B,#C(c1),a2)");
    QTest::newRow("only levels deep") << qs("#A(#B(#C(#D)))");
}

void TstLibraryTree::rebuildShowsLibraryInItsOrder()
{
    QFETCH(QString, shape);
    const auto nodes = load(shape);
    lib().fillTree(0, false);
    QCOMPARE(dump(tree()), expectedDump(nodes));
    verifyKeysAgree(mgr(), tree());
    // A second rebuild from the tree gives the same tree.
    lib().fillTree(0, false);
    QCOMPARE(dump(tree()), expectedDump(nodes));
}

void TstLibraryTree::filter_data()
{
    QTest::addColumn<QString>("shape");
    QTest::addColumn<int>("mask");
    QTest::addColumn<QString>("expected");

    const QString lib = qs("#L(a:1,b:4,c:0,d:12,e:32)");
    QTest::newRow("mask 0 shows all") << lib << 0 << qs("#L(a,b,c,d,e)");
    QTest::newRow("FS95 only") << lib << 1 << qs("#L(a,c)");
    QTest::newRow("FS2K shows its bit within several") << lib << 4 << qs("#L(b,c,d)");
    QTest::newRow("FS2K2") << lib << 8 << qs("#L(c,d)");
    QTest::newRow("two boxes") << lib << 33 << qs("#L(a,c,e)");
    QTest::newRow("all boxes") << lib << 63 << qs("#L(a,b,c,d,e)");
    QTest::newRow("nothing matches but FlySim 0") << lib << 2 << qs("#L(c)");
    QTest::newRow("all levels stay, also empty ones")
        << qs("#L(a:1),#E,#P(#Q(b:1)),#R(c:2)") << 2 << qs("#L,#E,#P(#Q),#R(c)");
}

void TstLibraryTree::filter()
{
    QFETCH(QString, shape);
    QFETCH(int, mask);
    QFETCH(QString, expected);
    load(shape);
    lib().fillTree(qint16(mask), false);
    QCOMPARE(dump(tree()), expected);
}

void TstLibraryTree::placement_data()
{
    QTest::addColumn<QString>("shape");
    QTest::addColumn<QStringList>("order");       // colScenery order by title
    QTest::addColumn<QStringList>("previous");    // "title=PreviousKey" overrides
    QTest::addColumn<int>("mask");
    QTest::addColumn<bool>("appendUnplaced");
    QTest::addColumn<QString>("expected");

    QTest::newRow("hidden predecessor: after the nearest shown one")
        << qs("#L(x,a,h:4,b)") << list("x,a,b,h") << QStringList() << 8 << false << qs("#L(x,a,b)");
    QTest::newRow("several hidden in a row")
        << qs("#L(x,a,h1:4,h2:4,b)") << list("x,a,b") << QStringList() << 8 << false << qs("#L(x,a,b)");
    QTest::newRow("no shown predecessor: first")
        << qs("#L(h:4,b,x)") << list("x,b,h") << QStringList() << 8 << false << qs("#L(b,x)");
    QTest::newRow("no shown predecessor, appendUnplaced: last")
        << qs("#L(h:4,b,x)") << list("x,b,h") << QStringList() << 8 << true << qs("#L(x,b)");
    QTest::newRow("chain ends in an unknown key: first")
        << qs("#L(x,b)") << list("x,b") << list("b=SceneryL\\ghost") << 0 << false << qs("#L(b,x)");
    QTest::newRow("chain ends in an unknown key, appendUnplaced: last")
        << qs("#L(b,x)") << list("x,b") << list("b=SceneryL\\ghost") << 0 << true << qs("#L(x,b)");
    QTest::newRow("no PreviousKey, appendUnplaced")
        << qs("#L(a,b)") << list("b,a") << QStringList() << 0 << true << qs("#L(b,a)");
    QTest::newRow("predecessor in another level is ignored")
        << qs("#L(x,b),#M(a)") << list("x,a,b") << list("b=SceneryM\\a") << 0 << false << qs("#L(b,x),#M(a)");
    QTest::newRow("predecessor in another level, appendUnplaced")
        << qs("#L(x,b),#M(a)") << list("x,a,b") << list("b=SceneryM\\a") << 0 << true << qs("#L(x,b),#M(a)");
    QTest::newRow("predecessor is a level")
        << qs("#L(#S,b,#T)") << list("b") << QStringList() << 0 << false << qs("#L(#S,b,#T)");
    QTest::newRow("predecessor placed later lands between")
        << qs("#L(a,b,c)") << list("c,a,b") << QStringList() << 0 << false << qs("#L(a,b,c)");
    QTest::newRow("reverse order")
        << qs("#L(a,b,c,d)") << list("d,c,b,a") << QStringList() << 0 << false << qs("#L(a,b,c,d)");
    QTest::newRow("hidden chain that runs in a circle")
        << qs("#L(x,b,h:4)") << list("x,b,h") << list("b=SceneryL\\h,h=SceneryL\\b") << 8 << false << qs("#L(b,x)");
    QTest::newRow("scenery that names itself")
        << qs("#L(x,b)") << list("x,b") << list("b=SceneryL\\b") << 0 << false << qs("#L(b,x)");
    QTest::newRow("shown circle resolves once placed")
        << qs("#L(a,b)") << list("a,b") << list("a=SceneryL\\b,b=SceneryL\\a") << 0 << false << qs("#L(a,b)");
}

void TstLibraryTree::placement()
{
    QFETCH(QString, shape);
    QFETCH(QStringList, order);
    QFETCH(QStringList, previous);
    QFETCH(int, mask);
    QFETCH(bool, appendUnplaced);
    QFETCH(QString, expected);

    load(shape);
    for (const QString &override : previous) {
        const QStringList parts = override.split(QLatin1Char('='));
        byTitle(mgr(), parts.at(0))->PreviousKey = parts.at(1);
    }
    reorder(mgr().colScenery, order);
    lib().fillTree(qint16(mask), appendUnplaced);
    QCOMPARE(dump(tree()), expected);
}

void TstLibraryTree::appearance_data()
{
    QTest::addColumn<bool>("isLocalPath");
    QTest::addColumn<bool>("active");
    QTest::addColumn<bool>("inCfg");
    QTest::addColumn<quint32>("back");
    QTest::addColumn<quint32>("fore");

    QTest::newRow("local active in cfg") << true << true << true << rgb(255, 255, 0) << rgb(60, 60, 255);
    QTest::newRow("local inactive") << true << false << false << rgb(255, 255, 0) << rgb(255, 60, 60);
    QTest::newRow("remote active") << false << true << false << rgb(220, 220, 0) << rgb(60, 60, 255);
    QTest::newRow("remote inactive in cfg") << false << false << true << rgb(220, 220, 0) << rgb(255, 60, 60);
}

void TstLibraryTree::appearance()
{
    QFETCH(bool, isLocalPath);
    QFETCH(bool, active);
    QFETCH(bool, inCfg);
    QFETCH(quint32, back);
    QFETCH(quint32, fore);

    load(qs("#Europe(#Germany(berlin)),#New"));
    SceneryPtr berlin = byTitle(mgr(), qs("berlin"));
    berlin->IsLocalPath = isLocalPath;
    berlin->Active = active;
    berlin->InCFG = inCfg;
    lib().fillTree(0, false);

    const TreeNode *node = tree().node(berlin->Key);
    QVERIFY(node);
    QCOMPARE(node->backColor(), NodeColor(back));
    QCOMPARE(node->foreColor(), NodeColor(fore));
    QCOMPARE(node->checked(), inCfg);
    // Made visible: its levels are open; a level without sceneries below stays closed.
    QVERIFY(tree().node(qs("LevelEurope"))->expanded());
    QVERIFY(tree().node(qs("LevelEurope\\Germany"))->expanded());
    QVERIFY(!tree().node(qs("LevelNew"))->expanded());
    // Levels keep the default look.
    const TreeNode *level = tree().node(qs("LevelEurope\\Germany"));
    QCOMPARE(level->backColor(), NodeColor());
    QCOMPARE(level->foreColor(), NodeColor());
    QVERIFY(!level->checked());
}

void TstLibraryTree::levelsFollowTheTree()
{
    load(qs("#A(#A1,#A2(#A21)),#B,#C(#C1)"));
    lib().fillTree(0, false);
    // Rearrange levels in the tree as the move commands do; the next rebuild takes their order.
    tree().move(tree().node(qs("LevelC")), nullptr, Tree::Relation::First);
    tree().move(tree().node(qs("LevelA\\A2")), tree().node(qs("LevelA\\A1")), Tree::Relation::Previous);
    lib().fillTree(0, false);
    QCOMPARE(mgr().dicLevel.keys(), list("LevelC,LevelC\\C1,LevelA,LevelA\\A2,LevelA\\A2\\A21,LevelA\\A1,LevelB"));
    QCOMPARE(dump(tree()), qs("#C(#C1),#A(#A2(#A21),#A1),#B"));
}

void TstLibraryTree::levelMissingFromTreeIsKept()
{
    load(qs("#A(a),#B"));
    lib().fillTree(0, false);
    addLevel(mgr(), qs("LevelZ"), qs("Z"));
    addLevel(mgr(), qs("LevelA\\Y"), qs("Y"));
    addScenery(mgr(), qs("SceneryZ\\z"), qs("z"), QString());
    lib().fillTree(0, false);
    QCOMPARE(mgr().dicLevel.keys(), list("LevelA,LevelB,LevelZ,LevelA\\Y"));
    QCOMPARE(dump(tree()), qs("#A(a,#Y),#B,#Z(z)"));
    verifyKeysAgree(mgr(), tree());
}

void TstLibraryTree::levelNodeWithoutRecordIsDropped()
{
    load(qs("#A,#B,#C"));
    lib().fillTree(0, false);
    mgr().dicLevel.remove(qs("LevelB"));
    lib().fillTree(0, false);  // silently: the level no longer exists
    QCOMPARE(dump(tree()), qs("#A,#C"));
    QCOMPARE(mgr().dicLevel.keys(), list("LevelA,LevelC"));
}

void TstLibraryTree::updatePreviousLinkRecordsTreeOrder()
{
    load(qs("#L(a,b,#S(s1,s2),c)"));
    lib().fillTree(0, false);
    tree().move(tree().node(qs("SceneryL\\c")), nullptr, Tree::Relation::Last);  // any change of place
    tree().move(tree().node(qs("SceneryL\\c")), tree().node(qs("SceneryL\\a")), Tree::Relation::First);
    tree().move(tree().node(qs("SceneryL\\S\\s2")), tree().node(qs("SceneryL\\S\\s1")), Tree::Relation::Previous);
    byTitle(mgr(), qs("a"))->PreviousKey = qs("stale");
    lib().updatePreviousLink();
    QCOMPARE(byTitle(mgr(), qs("c"))->PreviousKey, QString());
    QCOMPARE(byTitle(mgr(), qs("a"))->PreviousKey, qs("SceneryL\\c"));
    QCOMPARE(byTitle(mgr(), qs("b"))->PreviousKey, qs("SceneryL\\a"));
    QCOMPARE(byTitle(mgr(), qs("s2"))->PreviousKey, QString());
    QCOMPARE(byTitle(mgr(), qs("s1"))->PreviousKey, qs("SceneryL\\S\\s2"));

    // A scenery without a node keeps what it has.
    SceneryPtr hidden = addScenery(mgr(), qs("SceneryL\\h"), qs("h"), qs("SceneryL\\b"));
    lib().updatePreviousLink();
    QCOMPARE(hidden->PreviousKey, qs("SceneryL\\b"));
}

void TstLibraryTree::filterOnAndOffKeepsOrder_data()
{
    QTest::addColumn<QString>("shape");
    QTest::addColumn<int>("mask");

    QTest::newRow("hidden between shown") << qs("#L(a,h:4,s)") << 8;
    QTest::newRow("hidden first") << qs("#L(h:4,s,t)") << 8;
    QTest::newRow("hidden last") << qs("#L(s,h:4)") << 8;
    QTest::newRow("runs of hidden") << qs("#L(h1:4,h2:4,a,h3:4,h4:4,b,h5:4)") << 8;
    QTest::newRow("hidden after a level") << qs("#L(#S(x),h:4,a,#T,h2:4,b)") << 8;
    QTest::newRow("everything hidden") << qs("#L(h1:4,h2:4),#M(h3:1)") << 8;
    QTest::newRow("several levels") << qs("#A(a1:1,a2:2,a3:1),#B(#C(c1:2,c2:1,c3:2),b1:2)") << 1;
}

void TstLibraryTree::filterOnAndOffKeepsOrder()
{
    QFETCH(QString, shape);
    QFETCH(int, mask);
    const auto nodes = load(shape);
    lib().fillTree(0, false);
    QCOMPARE(dump(tree()), expectedDump(nodes));
    lib().fillTree(qint16(mask), false);
    QCOMPARE(dump(tree()), expectedDump(nodes, qint16(mask)));
    lib().fillTree(0, false);
    QCOMPARE(dump(tree()), expectedDump(nodes));
    // Twice more, to be sure nothing drifts.
    lib().fillTree(qint16(mask), false);
    lib().fillTree(0, false);
    QCOMPARE(dump(tree()), expectedDump(nodes));
}

// A recorded predecessor that is hidden but sits in another level does not describe the scenery's
// place, even when its own chain happens to lead to the node shown above.
void TstLibraryTree::hiddenPredecessorElsewhereIsReplaced()
{
    load(qs("#L(a,s),#M(h:4)"));
    byTitle(mgr(), qs("s"))->PreviousKey = qs("SceneryM\\h");
    byTitle(mgr(), qs("h"))->PreviousKey = qs("SceneryL\\a");
    lib().fillTree(8, false);
    QCOMPARE(dump(tree()), qs("#L(a,s),#M"));
    lib().fillTree(0, false);
    QCOMPARE(byTitle(mgr(), qs("s"))->PreviousKey, qs("SceneryL\\a"));
    QCOMPARE(dump(tree()), qs("#L(a,s),#M(h)"));
}

namespace {

std::vector<ShapeNode> randomLevelContent(QRandomGenerator &rng, int depth, int &serial)
{
    std::vector<ShapeNode> nodes;
    const int count = int(rng.bounded(depth == 0 ? 2 : 0, 7));
    static const qint16 flySims[] = {0, 0, 1, 2, 4, 8, 12, 16, 32, 48};
    for (int i = 0; i < count; ++i) {
        ShapeNode n;
        // Sceneries live in levels only.
        n.level = depth == 0 || (depth < 3 && rng.bounded(4) == 0);
        n.name = (n.level ? QStringLiteral("L") : QStringLiteral("s")) + QString::number(serial++);
        if (n.level)
            n.children = randomLevelContent(rng, depth + 1, serial);
        else
            n.flySim = flySims[rng.bounded(10)];
        nodes.push_back(std::move(n));
    }
    return nodes;
}

} // namespace

void TstLibraryTree::shuffledCollectionKeepsTreeOrder()
{
    static const qint16 masks[] = {1, 4, 8, 12, 16, 33};
    for (quint32 seed = 1; seed <= 60; ++seed) {
        QRandomGenerator rng(seed);
        int serial = 0;
        std::vector<ShapeNode> nodes = randomLevelContent(rng, 0, serial);
        ShapeNode newLevel;
        newLevel.level = true;
        newLevel.name = QStringLiteral("New");
        nodes.push_back(newLevel);
        mgr().colScenery.clear();
        mgr().dicLevel.clear();
        tree().clear();
        addNodes(mgr(), nodes, QString());
        shuffle(mgr().colScenery, rng);
        const qint16 mask = masks[rng.bounded(6)];

        lib().fillTree(0, false);
        QCOMPARE(dump(tree()), expectedDump(nodes));
        shuffle(mgr().colScenery, rng);
        lib().fillTree(mask, false);
        QCOMPARE(dump(tree()), expectedDump(nodes, mask));
        shuffle(mgr().colScenery, rng);
        lib().fillTree(0, false);
        QCOMPARE(dump(tree()), expectedDump(nodes));
        verifyKeysAgree(mgr(), tree());
    }
}

// Libraries whose recorded order is anything at all: predecessors in other levels, levels,
// unknown keys, circles, sceneries naming themselves. The tree must be what the placement
// rules give, followed one by one.
void TstLibraryTree::randomLibrariesFollowThePlacementRules()
{
    static const qint16 masks[] = {0, 0, 1, 4, 8, 12, 63};
    static const qint16 flySims[] = {0, 0, 1, 2, 4, 8, 12, 16, 32, 48};
    for (quint32 seed = 1; seed <= 300; ++seed) {
        QRandomGenerator rng(seed);
        mgr().colScenery.clear();
        mgr().dicLevel.clear();
        tree().clear();

        std::vector<std::pair<QString, QString>> levels;
        const int levelCount = int(rng.bounded(1, 6));
        for (int i = 0; i < levelCount; ++i) {
            const QString caption = QStringLiteral("L%1").arg(i);
            const QString key = (i == 0 || rng.bounded(2) == 0)
                                    ? QStringLiteral("Level") + caption
                                    : levels[size_t(rng.bounded(i))].first + Backslash + caption;
            levels.emplace_back(key, caption);
            addLevel(mgr(), key, caption);
        }
        std::vector<clsScenery> sceneries;
        const int sceneryCount = int(rng.bounded(0, 30));
        for (int i = 0; i < sceneryCount; ++i) {
            clsScenery s;
            s.Title = QStringLiteral("s%1").arg(i);
            s.Key = sceneryKeyFor(levels[size_t(rng.bounded(levelCount))].first, s.Title);
            s.FlySim = flySims[rng.bounded(10)];
            sceneries.push_back(s);
        }
        for (clsScenery &s : sceneries) {
            const int pick = int(rng.bounded(100));
            if (pick < 20 || sceneries.size() < 2)
                s.PreviousKey.clear();
            else if (pick < 65)
                s.PreviousKey = sceneries[size_t(rng.bounded(int(sceneries.size())))].Key;
            else if (pick < 80)
                s.PreviousKey = levels[size_t(rng.bounded(levelCount))].first;
            else if (pick < 90)
                s.PreviousKey = QStringLiteral("SceneryNowhere\\x");
            else
                s.PreviousKey = s.Key;
        }
        for (const clsScenery &s : sceneries)
            addScenery(mgr(), s.Key, s.Title, s.PreviousKey, s.FlySim);
        const qint16 mask = masks[rng.bounded(7)];
        const bool appendUnplaced = rng.bounded(2) == 1;

        lib().fillTree(mask, appendUnplaced);
        const QString expected = referenceFill(levels, sceneries, mask, appendUnplaced);
        if (dump(tree()) != expected)
            QFAIL(qPrintable(QStringLiteral("seed %1 mask %2 append %3\n  got      %4\n  expected %5")
                                 .arg(seed)
                                 .arg(mask)
                                 .arg(appendUnplaced)
                                 .arg(dump(tree()), expected)));
    }
}

void TstLibraryTree::largeLibraryInReverseOrder()
{
    // One level of 50,000 sceneries whose collection runs against the tree order: every
    // scenery's predecessor is placed after it.
    const int count = 50000;
    addLevel(mgr(), qs("LevelNew"), qs("New"));
    for (int i = count - 1; i >= 0; --i) {
        const QString title = QStringLiteral("s%1").arg(i, 5, 10, QLatin1Char('0'));
        const QString previous = i == 0 ? QString() : QStringLiteral("SceneryNew\\s%1").arg(i - 1, 5, 10, QLatin1Char('0'));
        addScenery(mgr(), QStringLiteral("SceneryNew\\") + title, title, previous, qint16(i % 3 == 0 ? 4 : 0));
    }
    auto verifyOrder = [&](bool all) {
        const TreeNode *level = tree().node(qs("LevelNew"));
        QCOMPARE(level->childCount(), all ? count : count - (count + 2) / 3);
        const TreeNode *n = level->firstChild();
        for (int i = 0; i < count; ++i) {
            if (!all && i % 3 == 0)
                continue;
            QCOMPARE(n->text(), QStringLiteral("s%1").arg(i, 5, 10, QLatin1Char('0')));
            n = n->next();
        }
    };
    lib().fillTree(0, false);
    verifyOrder(true);
    // Filtered, and back: the order survives.
    lib().fillTree(8, false);
    verifyOrder(false);
    lib().fillTree(0, false);
    verifyOrder(true);
}

void TstLibraryTree::orphanSceneryGoesToNew_data()
{
    QTest::addColumn<bool>("newKeyTaken");
    QTest::newRow("key in New is free") << false;
    QTest::newRow("key in New is taken") << true;
}

void TstLibraryTree::orphanSceneryGoesToNew()
{
    QFETCH(bool, newKeyTaken);
    load(newKeyTaken ? qs("#New(x,a),#Europe") : qs("#New(x),#Europe"));
    SceneryPtr orphan = addScenery(mgr(), qs("SceneryGone\\a"), qs("a"), QString());
    orphan->Author = qs("keeps its data");
    const qsizetype count = mgr().colScenery.count();

    lib().fillTree(0, false);

    QCOMPARE(mgr().colScenery.count(), count);
    const QString expectedKey = newKeyTaken ? qs("SceneryGone\\a") : qs("SceneryNew\\a");
    QCOMPARE(orphan->Key, expectedKey);
    QCOMPARE(mgr().colScenery.value(expectedKey), orphan);
    QCOMPARE(mgr().colScenery.contains(qs("SceneryGone\\a")), newKeyTaken);
    const TreeNode *node = tree().node(expectedKey);
    QVERIFY(node);
    QCOMPARE(node->parent(), tree().node(qs("LevelNew")));
    QCOMPARE(dump(tree()), newKeyTaken ? qs("#New(a,x,a),#Europe") : qs("#New(a,x),#Europe"));
    QCOMPARE(orphan->Author, qs("keeps its data"));

    // The next rebuild finds it where it was put.
    lib().fillTree(0, false);
    QCOMPARE(dump(tree()), newKeyTaken ? qs("#New(a,x,a),#Europe") : qs("#New(a,x),#Europe"));
    QCOMPARE(orphan->Key, expectedKey);
}

void TstLibraryTree::orphansKeepTheirOrder()
{
    load(qs("#New(x)"));
    addScenery(mgr(), qs("SceneryGone\\a"), qs("a"), QString());
    addScenery(mgr(), qs("SceneryGone\\b"), qs("b"), qs("SceneryGone\\a"));
    addScenery(mgr(), qs("SceneryGone\\c"), qs("c"), qs("SceneryGone\\b"));
    reorder(mgr().colScenery, list("x,c,a,b"));
    lib().fillTree(0, false);
    QCOMPARE(dump(tree()), qs("#New(a,b,c,x)"));
    verifyKeysAgree(mgr(), tree());
    lib().fillTree(0, false);
    QCOMPARE(dump(tree()), qs("#New(a,b,c,x)"));
}

void TstLibraryTree::missingNewLevelIsCreated()
{
    load(qs("#Europe(paris)"));
    addScenery(mgr(), qs("SceneryAsia\\tokyo"), qs("tokyo"), QString());
    lib().fillTree(0, false);
    QCOMPARE(dump(tree()), qs("#Europe(paris),#New(tokyo)"));
    const LevelPtr level = mgr().dicLevel.value(qs("LevelNew"));
    QVERIFY(level);
    QCOMPARE(level->sLevelCaption, qs("New"));
    QCOMPARE(level->sLevelKey, qs("LevelNew"));
    QCOMPARE(mgr().dicLevel.keys(), list("LevelEurope,LevelNew"));
    verifyKeysAgree(mgr(), tree());

    // Without orphans no level "New" is made up.
    mgr().colScenery.clear();
    mgr().dicLevel.clear();
    tree().clear();
    load(qs("#Europe(paris)"));
    lib().fillTree(0, false);
    QVERIFY(!mgr().dicLevel.contains(qs("LevelNew")));
}

void TstLibraryTree::levelWithoutParent()
{
    load(qs("#New"));
    addLevel(mgr(), qs("LevelGone\\Sub"), qs("Sub"));
    addScenery(mgr(), qs("SceneryGone\\Sub\\s"), qs("s"), QString());
    lib().fillTree(0, false);
    QCOMPARE(dump(tree()), qs("#New,#Sub(s)"));
    QVERIFY(tree().node(qs("LevelGone\\Sub")));
    QVERIFY(tree().node(qs("SceneryGone\\Sub\\s")));
    verifyKeysAgree(mgr(), tree());
}

void TstLibraryTree::levelListedBeforeItsParent()
{
    addLevel(mgr(), qs("LevelA\\B\\C"), qs("C"));
    addLevel(mgr(), qs("LevelA\\B"), qs("B"));
    addLevel(mgr(), qs("LevelX"), qs("X"));
    addLevel(mgr(), qs("LevelA"), qs("A"));
    addScenery(mgr(), qs("SceneryA\\B\\C\\c"), qs("c"), QString());
    lib().fillTree(0, false);
    QCOMPARE(dump(tree()), qs("#X,#A(#B(#C(c)))"));
    lib().fillTree(0, false);
    QCOMPARE(mgr().dicLevel.keys(), list("LevelX,LevelA,LevelA\\B,LevelA\\B\\C"));
}

void TstLibraryTree::failedPlacementIsReportedAndRebuildGoesOn()
{
    load(qs("#L(a,#S,b)"));
    // A scenery record under the key of a level cannot get a node of its own.
    addScenery(mgr(), qs("LevelL\\S"), qs("clash"), QString());
    m_env->ui.expectMessage(qs(".fillTree\nError: 35602\nKey is not unique in collection"), qs("Lumivale"),
                            UiPort::Answer::Ok, UiPort::Icon::Critical);
    lib().fillTree(0, false);
    QCOMPARE(dump(tree()), qs("#L(a,#S,b)"));
    QVERIFY(mgr().colScenery.contains(qs("LevelL\\S")));
}

void TstLibraryTree::fixChildKeyAfterMoveToRoot()
{
    load(qs("#Europe(#Germany(berlin,#Bavaria(munich)),paris),#New(x)"));
    lib().fillTree(0, false);
    // Move Germany to the top level as the move command does: new key on the node and its level.
    TreeNode *germany = tree().node(qs("LevelEurope\\Germany"));
    tree().move(germany, nullptr, Tree::Relation::Last);
    tree().setKey(germany, qs("LevelGermany"));
    LevelPtr level = mgr().dicLevel.remove(qs("LevelEurope\\Germany"));
    level->sLevelKey = qs("LevelGermany");
    mgr().dicLevel.add(level->sLevelKey, level);

    lib().fixChildKey(germany);

    for (const QString &gone : list("SceneryEurope\\Germany\\berlin,SceneryEurope\\Germany\\Bavaria\\munich,"
                                    "LevelEurope\\Germany\\Bavaria")) {
        QVERIFY2(!tree().contains(gone), qPrintable(gone));
        QVERIFY2(!mgr().colScenery.contains(gone) && !mgr().dicLevel.contains(gone), qPrintable(gone));
    }
    QCOMPARE(tree().node(qs("SceneryGermany\\berlin"))->text(), qs("berlin"));
    QCOMPARE(tree().node(qs("LevelGermany\\Bavaria"))->text(), qs("Bavaria"));
    QCOMPARE(tree().node(qs("SceneryGermany\\Bavaria\\munich"))->text(), qs("munich"));
    QCOMPARE(byTitle(mgr(), qs("munich"))->Key, qs("SceneryGermany\\Bavaria\\munich"));
    QCOMPARE(mgr().dicLevel.value(qs("LevelGermany\\Bavaria"))->sLevelKey, qs("LevelGermany\\Bavaria"));
    QCOMPARE(byTitle(mgr(), qs("paris"))->Key, qs("SceneryEurope\\paris"));  // outside: untouched
    QCOMPARE(mgr().colScenery.count(), 4);
    QCOMPARE(mgr().dicLevel.count(), 4);
    verifyKeysAgree(mgr(), tree());

    lib().fillTree(0, false);
    QCOMPARE(dump(tree()), qs("#Europe(paris),#New(x),#Germany(berlin,#Bavaria(munich))"));
    verifyKeysAgree(mgr(), tree());
}

void TstLibraryTree::fixChildKeyAfterNewCaption()
{
    load(qs("#Europe(#Germany(berlin,#Bavaria(munich),hamburg),paris)"));
    lib().fillTree(0, false);
    TreeNode *germany = tree().node(qs("LevelEurope\\Germany"));
    LevelPtr level = mgr().dicLevel.remove(germany->key());
    germany->setText(qs("Deutschland"));
    tree().setKey(germany, qs("LevelEurope\\Deutschland"));
    level->sLevelCaption = qs("Deutschland");
    level->sLevelKey = germany->key();
    mgr().dicLevel.add(level->sLevelKey, level);

    lib().fixChildKey(germany, qs("LevelEurope\\Germany"));

    QCOMPARE(byTitle(mgr(), qs("berlin"))->Key, qs("SceneryEurope\\Deutschland\\berlin"));
    QCOMPARE(byTitle(mgr(), qs("hamburg"))->Key, qs("SceneryEurope\\Deutschland\\hamburg"));
    QCOMPARE(byTitle(mgr(), qs("munich"))->Key, qs("SceneryEurope\\Deutschland\\Bavaria\\munich"));
    QVERIFY(mgr().dicLevel.contains(qs("LevelEurope\\Deutschland\\Bavaria")));
    // The recorded order follows the new keys.
    QCOMPARE(byTitle(mgr(), qs("hamburg"))->PreviousKey, qs("LevelEurope\\Deutschland\\Bavaria"));
    verifyKeysAgree(mgr(), tree());
    lib().fillTree(0, false);
    QCOMPARE(dump(tree()), qs("#Europe(#Deutschland(berlin,#Bavaria(munich),hamburg),paris)"));
}

void TstLibraryTree::fixChildKeyMovesHiddenSceneries_data()
{
    QTest::addColumn<QString>("shape");
    QTest::addColumn<bool>("passOldKey");
    QTest::addColumn<QString>("expected");

    QTest::newRow("hidden inside a sub-level")
        << qs("#Europe(#Germany(berlin,#Bavaria(munich:4,augsburg)))") << false
        << qs("#Europe(#Deutschland(berlin,#Bavaria(munich,augsburg)))");
    QTest::newRow("hidden directly inside, old key given")
        << qs("#Europe(#Germany(berlin,hamburg:4,bonn))") << true
        << qs("#Europe(#Deutschland(berlin,hamburg,bonn))");
    QTest::newRow("hidden first, old key given")
        << qs("#Europe(#Germany(hamburg:4,berlin))") << true << qs("#Europe(#Deutschland(hamburg,berlin))");
}

void TstLibraryTree::fixChildKeyMovesHiddenSceneries()
{
    QFETCH(QString, shape);
    QFETCH(bool, passOldKey);
    QFETCH(QString, expected);

    load(shape);
    lib().fillTree(8, false);  // FlySim 4 hidden
    TreeNode *germany = tree().node(qs("LevelEurope\\Germany"));
    LevelPtr level = mgr().dicLevel.remove(germany->key());
    germany->setText(qs("Deutschland"));
    tree().setKey(germany, qs("LevelEurope\\Deutschland"));
    level->sLevelCaption = qs("Deutschland");
    level->sLevelKey = germany->key();
    mgr().dicLevel.add(level->sLevelKey, level);

    lib().fixChildKey(germany, passOldKey ? qs("LevelEurope\\Germany") : QString());
    for (const SceneryPtr &s : mgr().colScenery)
        QVERIFY2(s->Key.startsWith(qs("SceneryEurope\\Deutschland\\")), qPrintable(s->Key));
    verifyKeysAgree(mgr(), tree());

    lib().fillTree(0, false);
    QCOMPARE(dump(tree()), expected);
}

void TstLibraryTree::fixChildKeyRefusesTakenKey()
{
    load(qs("#Europe(#Germany(berlin,#Bavaria(munich)))"));
    lib().fillTree(0, false);
    // A record that already holds berlin's future key (hidden: it has no node).
    SceneryPtr holder = addScenery(mgr(), qs("SceneryEurope\\Deutschland\\berlin"), qs("berlin"), QString(), 4);
    lib().fillTree(8, false);
    QVERIFY(!tree().contains(holder->Key));

    TreeNode *germany = tree().node(qs("LevelEurope\\Germany"));
    LevelPtr level = mgr().dicLevel.remove(germany->key());
    tree().setKey(germany, qs("LevelEurope\\Deutschland"));
    level->sLevelKey = germany->key();
    mgr().dicLevel.add(level->sLevelKey, level);

    m_env->ui.expectMessageStartingWith(qs(".fixChildKey\nError: 457\n"), qs("Lumivale"));
    lib().fixChildKey(germany, qs("LevelEurope\\Germany"));

    // Nothing below the level changed.
    QVERIFY(tree().contains(qs("SceneryEurope\\Germany\\berlin")));
    QVERIFY(tree().contains(qs("LevelEurope\\Germany\\Bavaria")));
    QVERIFY(tree().contains(qs("SceneryEurope\\Germany\\Bavaria\\munich")));
    QVERIFY(mgr().colScenery.contains(qs("SceneryEurope\\Germany\\berlin")));
    QVERIFY(mgr().colScenery.contains(qs("SceneryEurope\\Germany\\Bavaria\\munich")));
    QVERIFY(mgr().dicLevel.contains(qs("LevelEurope\\Germany\\Bavaria")));
    QCOMPARE(mgr().colScenery.value(qs("SceneryEurope\\Deutschland\\berlin")), holder);
    QCOMPARE(mgr().colScenery.count(), 3);
}

void TstLibraryTree::selectSubNodes()
{
    load(qs("#A(a1,#B(b1,b2),a2),#C(c1)"));
    lib().fillTree(0, false);
    TreeNode *a = tree().node(qs("LevelA"));
    a->setChecked(true);
    lib().SelectSubNodes(a);
    auto checkedKeys = [&] {
        QStringList keys;
        for (const TreeNode *n = tree().firstRoot(); n; n = n->nextInWalk())
            if (n->checked())
                keys << n->text();
        return keys;
    };
    QCOMPARE(checkedKeys(), list("A,a1,B,b1,b2,a2"));
    TreeNode *b = tree().node(qs("LevelA\\B"));
    b->setChecked(false);
    lib().SelectSubNodes(b);
    QCOMPARE(checkedKeys(), list("A,a1,a2"));
    // A scenery has nothing below it; no node, nothing to do.
    TreeNode *c1 = tree().node(qs("SceneryC\\c1"));
    c1->setChecked(true);
    lib().SelectSubNodes(c1);
    lib().SelectSubNodes(nullptr);
    QCOMPARE(checkedKeys(), list("A,a1,a2,c1"));
}

void TstLibraryTree::authors_data()
{
    QTest::addColumn<QStringList>("authors");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("none") << QStringList() << QStringList();
    QTest::newRow("all empty") << QStringList{QString(), QString()} << QStringList();
    QTest::newRow("collection order, once each") << list("Smith,Jones,Smith,Brown,Jones") << list("Smith,Jones,Brown");
    QTest::newRow("exact compare") << list("Smith,smith,Smith ,SMITH") << list("Smith,smith,Smith ,SMITH");
    QTest::newRow("empties skipped") << QStringList{QString(), qs("A"), QString(), qs("B")} << list("A,B");
}

void TstLibraryTree::authors()
{
    QFETCH(QStringList, authors);
    QFETCH(QStringList, expected);
    load(qs("#New"));
    for (int i = 0; i < authors.size(); ++i) {
        SceneryPtr s = addScenery(mgr(), QStringLiteral("SceneryNew\\s%1").arg(i), QStringLiteral("s%1").arg(i), QString(),
                                  qint16(i % 2 ? 4 : 0));
        s->Author = authors.at(i);
    }
    QSignalSpy changed(&lib(), &LibraryTree::authorsChanged);
    // Hidden sceneries count too: the list is the library's.
    lib().fillTree(8, false);
    QCOMPARE(lib().authors(), expected);
    QCOMPARE(changed.count(), 1);
}

void TstLibraryTree::rebuildNotifiesOnce()
{
    load(qs("#A(a,b),#B(#C(c))"));
    lib().fillTree(0, false);
    tree().setSelectedItem(tree().node(qs("SceneryA\\a")));
    QSignalSpy aboutToReset(&tree(), &Tree::aboutToReset);
    QSignalSpy reset(&tree(), &Tree::reset);
    QSignalSpy inserted(&tree(), &Tree::nodeAboutToBeInserted);
    QSignalSpy changed(&tree(), &Tree::nodeChanged);
    QSignalSpy rebuilt(&lib(), &LibraryTree::treeRebuilt);
    lib().fillTree(0, false);
    QCOMPARE(aboutToReset.count(), 1);
    QCOMPARE(reset.count(), 1);
    QCOMPARE(inserted.count(), 0);
    QCOMPARE(changed.count(), 0);
    QCOMPARE(rebuilt.count(), 1);
    QVERIFY(!tree().rebuilding());
    QCOMPARE(tree().selectedItem(), nullptr);
}

void TstLibraryTree::eventsRunPerLevelAndScenery()
{
    load(qs("#A(a:4,b),#B(#C(c:4,d))"));
    const int before = m_env->ui.processEventsCalls();
    lib().fillTree(8, false);
    // Three levels and four sceneries, hidden ones included.
    QCOMPARE(m_env->ui.processEventsCalls() - before, 7);
}

void TstLibraryTree::rebuildFilteredUsesTheWindowsMask()
{
    load(qs("#L(a:1,b:4,c:0)"));
    lib().setFilterMask(qint16(4));
    QCOMPARE(lib().filterMask(), qint16(4));
    lib().RebuildFiltered();
    QCOMPARE(dump(tree()), qs("#L(b,c)"));
    int boxes = 1;
    lib().setFilterMask([&boxes] { return qint16(boxes); });
    lib().RebuildFiltered();
    QCOMPARE(dump(tree()), qs("#L(a,c)"));
    boxes = 0;
    lib().RebuildFiltered();
    QCOMPARE(dump(tree()), qs("#L(a,b,c)"));
    lib().setFilterMask(qint16(4));
    lib().UndisplayAllTree();
    QCOMPARE(dump(tree()), qs("#L(a,b,c)"));
    QCOMPARE(lib().filterMask(), qint16(4));
}

QTEST_GUILESS_MAIN(TstLibraryTree)
#include "tst_librarytree.moc"
