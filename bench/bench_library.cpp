// Loading and building the library at growing sizes: the library files, the Scenery.cfg reader,
// the tree rebuild and the Scenery.cfg writer. Every size is generated once and reused by every
// benchmark of that size.

#include "app/librarygenerator.h"
#include "silentenv.h"

#include "library/scenerymanager.h"
#include "tree/librarytree.h"
#include "tree/tree.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>

#include <map>
#include <memory>
#include <random>
#include <vector>

namespace {

const QString CfgCopy = QStringLiteral("C:\\FS2002\\Bench\\Scenery.cfg");

struct Library
{
    SilentInstallation inst;
    std::unique_ptr<SceneryManager> manager;
    Tree tree;

    explicit Library(int sceneries)
    {
        manager = std::make_unique<SceneryManager>(inst.context);
        GeneratorOptions options;
        options.sceneries = sceneries;
        LibraryGenerator::build(*manager, tree, options);
        LibraryGenerator::writeLibraryFiles(inst.fs, inst.programFolder(), *manager, tree);
        inst.fs.createFolder(QStringLiteral("C:\\FS2002\\Bench"));
        inst.fs.writeAll(CfgCopy, LibraryGenerator::sceneryCfg(*manager, tree));
        LibraryGenerator::createSceneryFolders(inst.fs, *manager);
    }
};

// One generated library per size, built on first use and kept for the whole run.
Library &library(int sceneries)
{
    static std::map<int, std::unique_ptr<Library>> libraries;
    auto &slot = libraries[sceneries];
    if (!slot)
        slot = std::make_unique<Library>(sceneries);
    return *slot;
}

bool failedWithMessage(benchmark::State &state, const SilentUi &ui)
{
    if (ui.criticalMessages == 0)
        return false;
    state.SkipWithError(qPrintable(ui.lastText));
    return true;
}

void emptyLibrary(SceneryManager &m)
{
    m.colScenery.clear();
    m.dicLevel.clear();
    m.dicCFGs.clear();
    m.colCache.clear();
}

void BM_readDB(benchmark::State &state)
{
    const int n = int(state.range(0));
    Library &lib = library(n);
    SceneryManager reader(lib.inst.context);
    for (auto _ : state) {
        state.PauseTiming();
        emptyLibrary(reader);
        state.ResumeTiming();
        bool isNew = false;
        reader.readDB(isNew);
    }
    if (failedWithMessage(state, lib.inst.ui))
        return;
    if (reader.colScenery.count() != n)
        state.SkipWithError("readDB did not load every scenery");
    state.SetItemsProcessed(state.iterations() * n);
}

void BM_saveDB(benchmark::State &state)
{
    const int n = int(state.range(0));
    Library &lib = library(n);
    for (auto _ : state)
        lib.manager->saveDB(lib.tree.keysInWalkOrder());
    if (failedWithMessage(state, lib.inst.ui))
        return;
    state.SetItemsProcessed(state.iterations() * n);
}

void BM_readCFG(benchmark::State &state)
{
    const int n = int(state.range(0));
    Library &lib = library(n);
    for (auto _ : state) {
        // A second reading would meet the cache sections of the first.
        lib.manager->colCache.clear();
        QString file = CfgCopy;
        lib.manager->readCFG(file, false);
    }
    if (failedWithMessage(state, lib.inst.ui))
        return;
    if (lib.manager->colScenery.count() != n)
        state.SkipWithError("readCFG added sceneries although every area is in the library");
    state.SetItemsProcessed(state.iterations() * n);
}

void BM_fillTree(benchmark::State &state)
{
    const int n = int(state.range(0));
    Library &lib = library(n);
    Tree tree;
    LibraryTree libraryTree(*lib.manager, tree, lib.inst.ui);
    libraryTree.fillTree(0, false);  // the first build starts from an empty tree; the rest rebuild
    for (auto _ : state)
        libraryTree.fillTree(0, false);
    if (failedWithMessage(state, lib.inst.ui))
        return;
    if (tree.count() != n + lib.manager->dicLevel.count())
        state.SkipWithError("fillTree did not place every scenery and level");
    state.SetItemsProcessed(state.iterations() * n);
}

// The same rebuild when the library's sceneries come in an order unrelated to the tree (as after
// sceneries were added and moved about): every scenery then has to be placed through its
// PreviousKey chain instead of after the node placed just before it.
void BM_fillTree_shuffled(benchmark::State &state)
{
    const int n = int(state.range(0));
    Library &lib = library(n);
    SceneryManager shuffled(lib.inst.context);
    for (const LevelPtr &level : lib.manager->dicLevel)
        shuffled.dicLevel.add(level->sLevelKey, level);
    std::vector<SceneryPtr> order(lib.manager->colScenery.begin(), lib.manager->colScenery.end());
    std::mt19937 rng(99);
    for (size_t i = order.size(); i > 1; --i)  // Fisher-Yates on the raw engine: the same order everywhere
        std::swap(order[i - 1], order[rng() % i]);
    for (const SceneryPtr &s : order)
        shuffled.colScenery.add(s->Key, s);
    Tree tree;
    LibraryTree libraryTree(shuffled, tree, lib.inst.ui);
    libraryTree.fillTree(0, false);
    for (auto _ : state)
        libraryTree.fillTree(0, false);
    if (failedWithMessage(state, lib.inst.ui))
        return;
    // The shuffled library must come out in the generated tree order.
    TreeNode *a = lib.tree.firstRoot();
    TreeNode *b = tree.firstRoot();
    for (; a && b; a = a->nextInWalk(), b = b->nextInWalk()) {
        if (a->key() != b->key())
            break;
    }
    if (a || b)
        state.SkipWithError("the shuffled library was rebuilt in another order");
    state.SetItemsProcessed(state.iterations() * n);
}

void BM_CreateCFG(benchmark::State &state)
{
    const int n = int(state.range(0));
    Library &lib = library(n);
    const QString selection = LibraryGenerator::selectionText();
    for (auto _ : state) {
        qint32 cacheSize = 20;
        lib.manager->CreateCFG(selection, lib.tree.keysInWalkOrder(), cacheSize, true, QStringLiteral("Bench"),
                               QStringLiteral("Generated library"));
    }
    if (failedWithMessage(state, lib.inst.ui))
        return;
    // The backup question comes first; anything after it means a scenery was left out or the file
    // grew too long.
    if (lib.inst.ui.lastText != QStringLiteral("Do you want to make a backup first?"))
        state.SkipWithError(qPrintable(QStringLiteral("CreateCFG: ") + lib.inst.ui.lastText));
    state.SetItemsProcessed(state.iterations() * n);
}

void sizes(benchmark::internal::Benchmark *b)
{
    for (int n : {1000, 5000, 10000, 50000})
        b->Arg(n);
    // CPU time: the programs share two cores with other work, and every step here is single-threaded.
    b->Unit(benchmark::kMillisecond);
}

} // namespace

BENCHMARK(BM_readDB)->Apply(sizes);
BENCHMARK(BM_saveDB)->Apply(sizes);
BENCHMARK(BM_readCFG)->Apply(sizes);
BENCHMARK(BM_fillTree)->Apply(sizes);
BENCHMARK(BM_fillTree_shuffled)->Apply(sizes);
BENCHMARK(BM_CreateCFG)->Apply(sizes);

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
