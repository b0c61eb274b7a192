// The library check on a generated library whose every local folder exists, with its "Scenery"
// and "Texture" subfolders and BGL files: the whole library, and the 332 sceneries of one set.

#include "app/librarygenerator.h"
#include "silentenv.h"

#include "checks/librarycheck.h"
#include "library/scenerymanager.h"
#include "tree/tree.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>

#include <map>
#include <memory>

namespace {

struct Library
{
    SilentInstallation inst;
    std::unique_ptr<SceneryManager> manager;
    Tree tree;
    int withFolders = 0;

    explicit Library(int sceneries)
    {
        manager = std::make_unique<SceneryManager>(inst.context);
        GeneratorOptions options;
        options.sceneries = sceneries;
        LibraryGenerator::build(*manager, tree, options);
        withFolders = LibraryGenerator::createAllSceneryFolders(inst.fs, *manager);
    }
};

Library &library(int sceneries)
{
    static std::map<int, std::unique_ptr<Library>> libraries;
    auto &slot = libraries[sceneries];
    if (!slot)
        slot = std::make_unique<Library>(sceneries);
    return *slot;
}

void runCheck(benchmark::State &state, const QStringList &sets)
{
    const int n = int(state.range(0));
    Library &lib = library(n);
    const QStringList order = lib.tree.keysInWalkOrder();
    qsizetype findings = 0;
    qsizetype folders = 0;
    for (auto _ : state) {
        LibraryCheck check(*lib.manager, lib.inst.fs);
        findings = check.run(order, sets).size();
        folders = check.foldersRead();
    }
    // Every local scenery's folder and its "Scenery" folder, and the folders on the way to them.
    if (folders < 2 * qsizetype(sets.isEmpty() ? lib.withFolders : 1))
        state.SkipWithError("the check did not look into every scenery's folders");
    state.counters["findings"] = double(findings);
    state.counters["folders"] = double(folders);
    state.SetItemsProcessed(state.iterations() * n);
}

void BM_Check_library(benchmark::State &state)
{
    runCheck(state, {});
}

void BM_Check_set332(benchmark::State &state)
{
    runCheck(state, {LibraryGenerator::SelectionSet});
}

} // namespace

BENCHMARK(BM_Check_library)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Check_set332)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
