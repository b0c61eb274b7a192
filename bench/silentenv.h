#pragma once

#include "platform/appcontext.h"
#include "platform/filesystem.h"
#include "platform/programinfo.h"
#include "platform/settingsstore.h"
#include "platform/uiport.h"

#include <QByteArray>
#include <QTemporaryDir>

#include <memory>

// A UI port for programs that run without anybody in front of them (benchmarks, fuzz targets):
// every question is answered No, every other message OK, every chooser and prompt cancelled. It
// counts what it was shown so a caller can tell reported errors from silence.
class SilentUi : public UiPort
{
public:
    Answer message(const QString &text, const QString &title, Buttons buttons, Icon icon) override;
    QString input(const QString &, const QString &, const QString &) override { return {}; }
    std::optional<QString> chooseFile(const FileChooser &) override { return std::nullopt; }
    std::optional<QString> chooseFolder(const QString &, const QString &) override { return std::nullopt; }
    void showModal(FormLogic &) override {}
    void setBusy(bool) override {}
    void processEvents() override { ++processEventsCalls; }

    int messages = 0;
    int criticalMessages = 0;
    QString lastText;
    qint64 processEventsCalls = 0;
};

// One throw-away installation in a temporary folder: a Wine-style prefix whose drive C: holds the
// program folder "C:\Lumivale" and one simulator, with the settings naming that simulator's
// folder. Everything written stays inside the temporary folder and goes with it.
class SilentInstallation
{
public:
    // simType 0, 1 or 2; the simulator's folder on drive C:, e.g. "C:\FS2002".
    explicit SilentInstallation(int simType = 1, const QString &simFolder = QStringLiteral("C:\\FS2002"));
    ~SilentInstallation();
    SilentInstallation(const SilentInstallation &) = delete;
    SilentInstallation &operator=(const SilentInstallation &) = delete;

    bool isValid() const { return m_dir.isValid(); }
    QString rootHost() const { return m_dir.path(); }
    QString driveCHost() const { return m_dir.path() + QStringLiteral("/prefix/drive_c"); }
    // The program folder and the simulator folder, Windows form.
    QString programFolder() const { return context.programFolder(); }
    const QString &simFolder() const { return m_simFolder; }

    // Writes bytes to a file at a Windows path, creating its folders.
    void writeFile(const QString &windowsPath, const QByteArray &bytes) const;

private:
    QTemporaryDir m_dir;
    QString m_simFolder;

public:
    FileSystem fs;
    std::unique_ptr<SettingsStore> settings;
    ProgramInfo program;
    SilentUi ui;
    AppContext context;
};
