#pragma once

#include "platform/appcontext.h"
#include "platform/lmerror.h"
#include "support/scriptedui.h"

#include <QMap>
#include <QTemporaryDir>

#include <functional>
#include <memory>

// A file of tests/data: the folder of one case and the file's name in it.
QByteArray testDataFile(const QString &folder, const QString &name);

// Lines as the simulators and the program write them: Windows-1252, each ending in CR LF.
QByteArray windowsText(const QStringList &lines);

// The error the operation throws; one numbered 0 when it throws none.
LmError thrownBy(const std::function<void()> &operation);

// Bytes that differ from one to the next and from seed to seed, for contents several buffers long.
QByteArray patterned(qsizetype size, quint32 seed = 12345);

// Files by their path below a folder ("Scenery/a.bgl") with their content.
using Files = QMap<QString, QByteArray>;
// Every file below a host folder, hidden ones too; symbolic links are not followed, so a file is
// listed where it lies.
Files filesBelow(const QString &hostFolder);
// The same paths with the same contents; a failure names the first file that differs.
[[nodiscard]] bool sameFiles(const Files &actual, const Files &expected);

// One isolated installation for a test: a temporary folder holding the program folder
// ("home", which also holds the settings file) and a Wine-style prefix whose drive C: is
// "prefix/drive_c". Everything the code under test touches stays inside it.
class TestEnv
{
public:
    TestEnv();
    ~TestEnv();

    // Adds a simulator's installation value to the prefix's "system.reg" (Wine's own format) and
    // creates its folder. simType 0, 1, 2; folder in Windows form, e.g. "C:\FS2002". valueName
    // overrides the value's spelling ("EXE path", "PATH", ...).
    void installSim(int simType, const QString &windowsFolder, const QString &valueName = {});

    // Creates a file (and its folders) at a Windows path; text is written as Windows-1252.
    void writeFile(const QString &windowsPath, const QByteArray &bytes = {});
    QByteArray readFile(const QString &windowsPath) const;
    QString host(const QString &windowsPath) const { return fs.toHost(windowsPath); }

    QString rootHost() const { return m_dir.path(); }
    QString homeHost() const { return m_dir.path() + QStringLiteral("/home"); }
    QString prefixHost() const { return m_dir.path() + QStringLiteral("/prefix"); }
    QString driveCHost() const { return prefixHost() + QStringLiteral("/drive_c"); }
    // Program folder in Windows form.
    QString programFolder() const { return context.programFolder(); }

private:
    QTemporaryDir m_dir;
    QByteArray m_systemReg;

public:
    FileSystem fs;
    std::unique_ptr<SettingsStore> settings;
    ProgramInfo program;
    ScriptedUi ui;
    AppContext context;
};
