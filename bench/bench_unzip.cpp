// Extracting a large archive with the program's Unzip beside the system's unzip program. The
// archive is built once per run with libzip: half incompressible (random) entries, half text that
// deflates well, in a few folders, about 100 MB on disk. And archives of 500 to 50,000 small files
// in one folder, which show how the time grows with the number of files.

#include "silentenv.h"

#include "platform/archive.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include <benchmark/benchmark.h>
#include <zip.h>

#include <memory>
#include <random>

namespace {

constexpr int EntrySize = 1 << 20;
constexpr int RandomEntries = 84;
constexpr int TextEntries = 84;
const QString ArchivePath = QStringLiteral("C:\\Bench\\Large.zip");
const QString TargetFolder = QStringLiteral("C:\\Bench\\Out");

struct LargeArchive
{
    SilentInstallation inst;
    QString archiveHost;
    qint64 archiveBytes = 0;
    qint64 extractedBytes = 0;
    QString error;

    LargeArchive()
    {
        inst.fs.createFolder(QStringLiteral("C:\\Bench"));
        archiveHost = inst.fs.toHost(ArchivePath);
        int err = 0;
        zip_t *za = zip_open(QFile::encodeName(archiveHost).constData(), ZIP_CREATE | ZIP_TRUNCATE, &err);
        if (!za) {
            error = QStringLiteral("zip_open failed");
            return;
        }
        std::mt19937 rng(7);
        for (int i = 0; i < RandomEntries + TextEntries; ++i) {
            QByteArray data(EntrySize, Qt::Uninitialized);
            const bool random = i % 2 == 0;
            if (random) {
                auto *words = reinterpret_cast<quint32 *>(data.data());
                for (int w = 0; w < EntrySize / 4; ++w)
                    words[w] = rng();
            } else {
                QByteArray text;
                text.reserve(EntrySize + 128);
                for (int row = 0; text.size() < EntrySize; ++row)
                    text += "[Area." + QByteArray::number(row % 1000).rightJustified(3, '0') + "]\r\nTitle=Scenery "
                            + QByteArray::number(rng() % 100000) + "\r\nLocal=Addon Scenery\\Region\r\nActive=TRUE\r\n";
                data = text.left(EntrySize);
            }
            extractedBytes += data.size();
            const QByteArray name = "Region " + QByteArray::number(i % 6) + "/Scenery/file" + QByteArray::number(i)
                                    + (random ? ".bgl" : ".txt");
            // zip_source_buffer_create with freep=1 would free with free(); keep the bytes alive instead.
            void *copy = malloc(size_t(data.size()));
            memcpy(copy, data.constData(), size_t(data.size()));
            zip_source_t *src = zip_source_buffer(za, copy, zip_uint64_t(data.size()), 1);
            if (!src || zip_file_add(za, name.constData(), src, ZIP_FL_ENC_UTF_8) < 0) {
                error = QStringLiteral("zip_file_add failed");
                zip_source_free(src);
                zip_discard(za);
                return;
            }
        }
        if (zip_close(za) != 0) {
            error = QStringLiteral("zip_close failed");
            zip_discard(za);
            return;
        }
        archiveBytes = QFileInfo(archiveHost).size();
    }

    void clearTarget() const { QDir(inst.fs.toHost(TargetFolder)).removeRecursively(); }
};

LargeArchive &archive()
{
    static LargeArchive a;
    return a;
}

void report(benchmark::State &state, const LargeArchive &a)
{
    state.SetBytesProcessed(state.iterations() * a.extractedBytes);
    state.counters["archive_MB"] = double(a.archiveBytes) / 1e6;
    state.counters["extracted_MB"] = double(a.extractedBytes) / 1e6;
}

bool extractedWhole(const LargeArchive &a)
{
    return a.inst.fs.folderSize(TargetFolder) == a.extractedBytes;
}

void BM_Unzip_extractAll(benchmark::State &state)
{
    LargeArchive &a = archive();
    if (!a.error.isEmpty()) {
        state.SkipWithError(qPrintable(a.error));
        return;
    }
    Unzip unzip(a.inst.fs);
    unzip.archive = ArchivePath;
    unzip.targetFolder = TargetFolder;
    for (auto _ : state) {
        state.PauseTiming();
        a.clearTarget();
        a.inst.fs.createFolder(TargetFolder);
        state.ResumeTiming();
        unzip.extractAll();
    }
    if (!extractedWhole(a))
        state.SkipWithError("extractAll did not write every byte");
    report(state, a);
}

void BM_system_unzip(benchmark::State &state)
{
    LargeArchive &a = archive();
    const QString program = QStandardPaths::findExecutable(QStringLiteral("unzip"));
    if (!a.error.isEmpty() || program.isEmpty()) {
        state.SkipWithError(program.isEmpty() ? "no unzip program" : qPrintable(a.error));
        return;
    }
    const QString target = a.inst.fs.toHost(TargetFolder);
    for (auto _ : state) {
        state.PauseTiming();
        a.clearTarget();
        state.ResumeTiming();
        QProcess p;
        p.start(program, {QStringLiteral("-o"), QStringLiteral("-q"), a.archiveHost, QStringLiteral("-d"), target});
        if (!p.waitForFinished(-1) || p.exitCode() != 0) {
            state.SkipWithError("unzip failed");
            return;
        }
    }
    if (!extractedWhole(a))
        state.SkipWithError("unzip did not write every byte");
    report(state, a);
}

// Many small files in one folder, as a scenery with thousands of textures has them. Every file is
// looked up in its folder before it is written (names are matched without regard to letter case),
// so how that lookup is done decides how the time grows with the number of files.
struct ManyFilesArchive
{
    SilentInstallation inst;
    int files = 0;
    QString error;

    explicit ManyFilesArchive(int count) : files(count)
    {
        inst.fs.createFolder(QStringLiteral("C:\\Bench"));
        int err = 0;
        zip_t *za = zip_open(QFile::encodeName(inst.fs.toHost(ArchivePath)).constData(),
                             ZIP_CREATE | ZIP_TRUNCATE, &err);
        if (!za) {
            error = QStringLiteral("zip_open failed");
            return;
        }
        static const char content[] = "BGL stand-in, 32 bytes of data.";
        for (int i = 0; i < files; ++i) {
            const QByteArray name = "Scenery/Texture" + QByteArray::number(i).rightJustified(6, '0') + ".bmp";
            zip_source_t *src = zip_source_buffer(za, content, sizeof content - 1, 0);
            if (!src || zip_file_add(za, name.constData(), src, ZIP_FL_ENC_UTF_8) < 0) {
                error = QStringLiteral("zip_file_add failed");
                zip_source_free(src);
                zip_discard(za);
                return;
            }
        }
        if (zip_close(za) != 0) {
            error = QStringLiteral("zip_close failed");
            zip_discard(za);
        }
    }
};

void BM_Unzip_manyFilesInOneFolder(benchmark::State &state)
{
    const ManyFilesArchive a(int(state.range(0)));
    if (!a.error.isEmpty()) {
        state.SkipWithError(qPrintable(a.error));
        return;
    }
    Unzip unzip(a.inst.fs);
    unzip.archive = ArchivePath;
    unzip.targetFolder = TargetFolder;
    for (auto _ : state) {
        state.PauseTiming();
        QDir(a.inst.fs.toHost(TargetFolder)).removeRecursively();
        state.ResumeTiming();
        unzip.extractAll();
    }
    if (a.inst.fs.files(TargetFolder + QStringLiteral("\\Scenery")).size() != a.files)
        state.SkipWithError("extractAll did not write every file");
    state.SetItemsProcessed(state.iterations() * a.files);
}

} // namespace

BENCHMARK(BM_Unzip_extractAll)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_system_unzip)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Unzip_manyFilesInOneFolder)
    ->Arg(500)
    ->Arg(4000)
    ->Arg(50000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

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
