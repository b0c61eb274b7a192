#include "app/frmscenery.h"
#include "app/start.h"
#include "backup/backupmanager.h"
#include "gui/airports/airportdirdialog.h"
#include "gui/app/filelistpage.h"
#include "gui/app/guiuiport.h"
#include "gui/app/instancechannel.h"
#include "gui/app/mainwindow.h"
#include "gui/app/organiseviews.h"
#include "gui/areas/areadialogviews.h"
#include "gui/backup/backupviews.h"
#include "gui/backup/textureview.h"
#include "gui/packaging/fileiddizview.h"
#include "gui/reports/printscenerylistview.h"
#include "gui/tools/toolviews.h"
#include "gui/install/installviews.h"
#include "gui/scenerycfg/selectsetsview.h"
#include "gui/sims/simtypeview.h"
#include "gui/checks/checklibrarydialog.h"
#include "library/scenerymanager.h"
#include "platform/bundledfiles.h"
#include "platform/errorreporter.h"

#include <QApplication>
#include <QImage>
#include <QScreen>
#include <QTimer>

#include <cstdio>
#include <memory>

namespace {

const char *const Usage =
    "Usage: lumivale [debug] [--screenshot FILE [--show COMMAND]]\n"
    "\n"
    "Opens the scenery library of the selected simulator.\n"
    "\n"
    "  debug              write the debug log \"C:\\Lumivale.Debug.Log\"\n"
    "  --screenshot FILE  show the main window with the first scenery selected, save a picture\n"
    "                     of it as FILE (PNG) and end without saving the library\n"
    "  --show COMMAND     with --screenshot: run the command of this caption (\"Define Hotkey\",\n"
    "                     \"Basic Folders\", \"Cache\", \"Info\", ...) and save its window instead\n"
    "  -h, --help         show this text\n"
    "\n"
    "The program folder is LUMIVALE_HOME (else the user's data folder); the drives come from\n"
    "the Wine prefix in WINEPREFIX (else ~/.wine).\n";

// Saves the window after it has painted, then ends the program without the closing question.
// With a command, the command runs and the window it opens is saved instead.
void takeScreenshot(MainWindow &window, frmScenery &form, const QString &file, Start::Command command)
{
    QTimer::singleShot(100, &window, [&window, &form] {
        for (TreeNode *node = form.trvScenery().firstRoot(); node; node = node->nextInWalk()) {
            if (isSceneryKey(node->key())) {
                window.selectNode(node);
                break;
            }
        }
    });
    if (command != Start::Command::None) {
        QTimer::singleShot(1600, &window, [file] {
            QWidget *dialog = QApplication::activeModalWidget();
            const bool saved = dialog && dialog->grab().save(file, "PNG");
            if (!saved)
                std::fprintf(stderr, "lumivale: no window to save as %s\n", qPrintable(file));
            QApplication::exit(saved ? 0 : 1);
        });
        QTimer::singleShot(900, &window, [&form, command] { form.runCommand(command); });
        return;
    }
    QTimer::singleShot(900, &window, [&window, file] {
        const bool saved = window.grab().save(file, "PNG");
        if (!saved)
            std::fprintf(stderr, "lumivale: could not write %s\n", qPrintable(file));
        QApplication::exit(saved ? 0 : 1);
    });
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Lumivale"));

    QStringList programArguments;
    QString screenshot;
    QString show;
    const QStringList arguments = QApplication::arguments().mid(1);
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        if (argument == QStringLiteral("-h") || argument == QStringLiteral("--help")) {
            std::fputs(Usage, stdout);
            return 0;
        }
        if (argument == QStringLiteral("--screenshot")) {
            if (i + 1 >= arguments.size()) {
                std::fputs("lumivale: --screenshot needs a file name\n", stderr);
                return 2;
            }
            screenshot = arguments.at(++i);
            continue;
        }
        if (argument == QStringLiteral("--show") && i + 1 < arguments.size()) {
            show = arguments.at(++i);
            continue;
        }
        programArguments.append(argument);
    }

    GuiUiPort ui;
    Start::Platform platform(programArguments, ui);
    ui.setFileSystem(platform.fs);
    registerAreaViews();
    registerBackupViews();
    registerInstallViews();
    registerCheckViews();
    registerTextureViews();
    registerPackagingViews();
    registerOrganiseViews();
    registerReportViews();
    registerToolViews();
    DesktopLauncher launcher(platform.fs);
    registerSceneryCfgViews();
    registerSimsViews();
    registerAirportViews();
    registerFileListViews();

    std::unique_ptr<BackupManager> backup;
    std::unique_ptr<frmScenery> form;
    std::unique_ptr<MainWindow> window;
    InstanceChannel channel(platform.program.folderHost());

    Start::MainHooks hooks;
    hooks.raiseRunningInstance = [&platform] {
        return InstanceChannel::askToRaise(platform.program.folderHost());
    };
    hooks.createProgramObjects = [&](Start::Session &session) {
        // The airport directory and the manual, the first time the program folder lacks them;
        // after the instance check, so two starts never assemble them at once.
        runStep(ui, QStringLiteral("Start.Main"),
                [&] { BundledFiles::installMissing(platform.program.folderHost()); });
        backup = std::make_unique<BackupManager>(platform.context, session.manager->FSPath(),
                                                 session.manager->SimType);
        // Writing a Scenery.cfg offers this backup first.
        session.manager->setBackUpFirst([&backup] { return backup->makeBackup(); });
    };
    hooks.showMainWindow = [&](Start::Session &session) {
        form = std::make_unique<frmScenery>(platform.context, *session.manager);
        form->setBackupManager(backup.get());
        form->setLauncher(&launcher);
        form->setFolderMemory(session.folderMemory.get());
        form->setDebugLog(&session.debugLog);
        const FileSystem &fs = platform.fs;
        form->details().setPictureConverter([&fs](const QString &source, const QString &target) {
            QImage image;
            return image.load(fs.toHost(source)) && image.save(fs.toHost(target), "BMP");
        });
        if (backup)
            backup->setStatus([&form](const QString &text) { form->status().Display(text); });

        window = std::make_unique<MainWindow>(*form);
        ui.setParentWidget(window.get());
        form->Form_Initialize();
        form->Form_Load();
        // Without a stored place the window opens at a comfortable size in the middle of the screen.
        const WindowLayout::Placement &placement = form->layout().placement();
        if (placement.left == 0 && placement.top == 0 && placement.width == WindowLayout::DesignWidth &&
            placement.height == WindowLayout::DesignHeight) {
            if (const QScreen *screen = QGuiApplication::primaryScreen()) {
                const QRect available = screen->availableGeometry();
                window->resize(std::min(1180, available.width() * 9 / 10),
                               std::min(760, available.height() * 9 / 10));
                window->move(available.center() - window->rect().center());
            }
        }
        window->refreshCommandStates();
        // The window's activation hides the splash (Form_Activate).
        window->show();
        // A second start on this program folder brings this window to the front.
        QObject::connect(&channel, &InstanceChannel::raiseRequested, window.get(), [&window] {
            window->setWindowState((window->windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
            window->raise();
            window->activateWindow();
        });
        channel.listen();
        form->tmrFreeSpace_Timer();
        window->freeSpaceTimer().start();
    };

    std::unique_ptr<Start::Session> session = Start::Main(platform.context, hooks);
    if (!session || !window) {
        window.reset();
        form.reset();
        // Another instance runs (the user has been told), or no simulator is installed.
        return platform.program.holdsInstanceLock() ? 0 : 1;
    }
    form->setFunctionKeys(session->functionKeys);
    if (!screenshot.isEmpty())
        takeScreenshot(*window, *form, screenshot, Start::commandByCaption(show));

    const int result = QApplication::exec();
    ui.setParentWidget(nullptr);
    window.reset();
    form.reset();
    backup.reset();
    session.reset();
    return result;
}
