#include "fuzzlibrary.h"

#include <QCoreApplication>

#include <cstdlib>

namespace {
// Some parts of Qt want an application object; the fuzzer owns main().
int fakeArgc = 1;
char fakeName[] = "lumivale-fuzz";
char *fakeArgv[] = {fakeName, nullptr};
}

FuzzLibrary &FuzzLibrary::instance()
{
    static QCoreApplication app(fakeArgc, fakeArgv);
    static FuzzLibrary library;
    return library;
}

FuzzLibrary::FuzzLibrary()
{
    if (!inst.isValid())
        std::abort();
    manager = std::make_unique<SceneryManager>(inst.context);
    if (manager->FSPath().isEmpty())  // the installation must be found, or every reading fails early
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
