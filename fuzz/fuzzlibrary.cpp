#include "fuzzlibrary.h"

#include "library/libraryfiles.h"
#include "tree/librarytree.h"
#include "tree/tree.h"

#include <QCoreApplication>
#include <QFile>

#include <cstdio>

#include <cstdlib>

namespace {
// Some parts of Qt want an application object; the fuzzer owns main().
int fakeArgc = 1;
char fakeName[] = "lumivale-fuzz";
char *fakeArgv[] = {fakeName, nullptr};
} // namespace

FuzzLibrary &FuzzLibrary::instance()
{
    // A test that replays the inputs has an application object of its own.
    static std::unique_ptr<QCoreApplication> app(
        QCoreApplication::instance() ? nullptr : new QCoreApplication(fakeArgc, fakeArgv));
    static FuzzLibrary library;
    return library;
}

FuzzLibrary::FuzzLibrary()
{
    if (!inst.isValid())
        std::abort();
    manager = std::make_unique<SceneryManager>(inst.context);
    if (manager->FSPath().isEmpty()) // the installation must be found, or every reading fails early
        std::abort();
}

void FuzzLibrary::emptyLibrary()
{
    manager->colScenery.clear();
    manager->dicLevel.clear();
    manager->dicCFGs.clear();
    manager->colCache.clear();
}

void FuzzLibrary::readLibraryFile(const QString &fileName, const uint8_t *data, size_t size)
{
    emptyLibrary();
    const QString path = inst.programFolder() + QLatin1Char('\\') + fileName;
    inst.writeFile(path, QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    bool isNew = false;
    manager->readDB(isNew);
}

void FuzzLibrary::readSceneryCfg(const uint8_t *data, size_t size)
{
    emptyLibrary();
    inst.writeFile(manager->FSPath() + QStringLiteral("\\SCENERY.CFG"),
                   QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    QString file;
    manager->readCFG(file, false);
    QString again;
    manager->readCFG(again, true);
}

void FuzzLibrary::removeLibraryFiles()
{
    for (const QString &name :
         {LibraryDb::SceneryFile, LibraryDb::OldSceneryFile, LibraryDb::LevelFile, LibraryDb::SetFile}) {
        for (const QString &suffix : {QString(), LibraryDb::BackupSuffix})
            QFile::remove(inst.fs.toHost(inst.programFolder() + QLatin1Char('\\') + name + suffix));
    }
}

bool FuzzLibrary::save(bool isNew)
{
    Tree tree;
    LibraryTree libraryTree(*manager, tree, inst.ui);
    // As the window does: the tree built at the start, rebuilt without a filter before the save,
    // which records its order.
    libraryTree.fillTree(0, isNew);
    libraryTree.UndisplayAllTree();
    const int before = inst.ui.criticalMessages;
    manager->saveDB(tree.keysInWalkOrder());
    return inst.ui.criticalMessages == before;
}

QByteArray FuzzLibrary::savedFiles() const
{
    QByteArray all;
    for (const QString &name : {LibraryDb::SceneryFile, LibraryDb::LevelFile, LibraryDb::SetFile}) {
        QFile file(inst.fs.toHost(inst.programFolder() + QLatin1Char('\\') + name));
        if (file.open(QIODevice::ReadOnly))
            all += file.readAll();
        all += '\0';
    }
    return all;
}

namespace {
[[noreturn]] void finding(const char *what, const QString &detail = {})
{
    std::fprintf(stderr, "read-then-save: %s %s\n", what, qPrintable(detail));
    std::abort();
}
} // namespace

void FuzzLibrary::readThenSave(const QString &fileName, const uint8_t *data, size_t size)
{
    emptyLibrary();
    removeLibraryFiles();
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    bool isNew = false;
    if (fileName.isEmpty()) {
        inst.writeFile(manager->FSPath() + QStringLiteral("\\SCENERY.CFG"), bytes);
        manager->readDB(isNew);
        QString file;
        manager->readCFG(file, false);
    } else {
        inst.writeFile(inst.programFolder() + QLatin1Char('\\') + fileName, bytes);
        manager->readDB(isNew);
    }
    if (!save(isNew))
        finding("the save failed:", inst.ui.lastText);
    const QByteArray first = savedFiles();

    emptyLibrary();
    bool again = false;
    const Problems problems = manager->readDB(again).problems;
    if (!problems.isEmpty())
        finding("the saved files read back with problems:", describeProblems(problems));
    if (!save(again))
        finding("the second save failed:", inst.ui.lastText);
    if (savedFiles() != first) {
        if (qEnvironmentVariableIsSet("LUMIVALE_FUZZ_DUMP")) {
            QFile a(QStringLiteral("/tmp/fuzz_first")), b(QStringLiteral("/tmp/fuzz_second"));
            a.open(QIODevice::WriteOnly), a.write(first), b.open(QIODevice::WriteOnly), b.write(savedFiles());
        }
        finding("saving what the saved files hold changed them");
    }
}
