#include "app/frmscenery.h"

#include "app/debuglog.h"
#include "app/windowprocedure.h"
#include "library/scenerymanager.h"
#include "platform/launcher.h"
#include "settings/programsettings.h"
#include "tree/librarytree.h"

frmScenery::frmScenery(AppContext &context, SceneryManager &manager, QObject *parent)
    : QObject(parent), m_context(context), m_manager(manager),
      m_settings(std::make_unique<ProgramSettings>(context.settings, context.programFolder())),
      m_tree(std::make_unique<Tree>()),
      m_libraryTree(std::make_unique<LibraryTree>(manager, *m_tree, context.ui)),
      m_status(std::make_unique<WindowStatus>(context, manager)),
      m_layout(std::make_unique<WindowLayout>(context, *m_settings)),
      m_sets(std::make_unique<SetSelector>(context, manager, *m_tree, *m_libraryTree, *m_status)),
      m_details(std::make_unique<DetailsPanel>(context, manager, *m_tree, *m_libraryTree, *m_status)),
      m_organiser(std::make_unique<Organiser>(context, manager, *m_tree, *m_libraryTree, *m_settings,
                                              *m_status, *m_sets, *m_details)),
      m_sceneryCfg(std::make_unique<SceneryCfgCommands>(context, manager, *m_tree, *m_libraryTree, *m_status,
                                                        *m_sets, *m_details,
                                                        [this] { return saveDespiteReadErrors(); })),
      m_simulators(std::make_unique<SimulatorCommands>(context, manager, *m_libraryTree, *m_settings,
                                                       *m_status, *m_sets)),
      m_fileList(std::make_unique<FileListPanel>(context, manager, *m_details, *m_status))
{}

void frmScenery::setFolderMemory(Start::FolderMemory *memory)
{
    m_folderMemory = memory;
    m_fileList->setFolderMemory(memory);
}

frmScenery::~frmScenery() = default;

void frmScenery::debugLog(const QString &message) const
{
    if (m_debugLog && m_debugLog->enabled())
        m_debugLog->write(message);
}

void frmScenery::Form_Initialize()
{
    guarded(m_context.ui, "Form_Initialize", [&] {
        debugLog(Start::DebugLog::Initialize);
        debugLog(Start::DebugLog::InitializeEnd);
    });
}

void frmScenery::Form_Load()
{
    guarded(m_context.ui, "Form_Load", [&] {
        m_splash.Form_Load();
        m_splash.Text1Visible = false;
        m_splash.lblCloseVisible = false;
        m_splash.show();
        emit splashChanged();
        m_context.ui.processEvents();

        BusyPointer busy(m_context.ui);
        m_organiser->restoreFilter();
        m_organiser->removedList().clear();
        tbsScenery_Click(m_details->tbsScenery().selected);
        m_status->setTitle();

        // A library that cannot be read completely still opens: each reader reports its failures.
        bool isNew = false;
        runStep(m_context.ui, QStringLiteral(".Form_Load"),
                [&] { m_libraryProblems = m_manager.readDB(isNew).problems; });
        runStep(m_context.ui, QStringLiteral(".Form_Load"), [&] {
            QString file;
            m_manager.readCFG(file, false);
        });

        m_sets->fillSetList();
        m_libraryTree->fillTree(0, isNew);
        m_sets->TransferData();
        m_layout->ReadSize();
    });
}

void frmScenery::Form_Activate()
{
    guarded(m_context.ui, "Form_Activate", [&] {
        debugLog(Start::DebugLog::HideSplash);
        if (m_splash.isVisible()) {
            m_splash.hide();
            emit splashChanged();
        }
        debugLog(Start::DebugLog::HideSplashEnd);
    });
}

bool frmScenery::Form_Unload()
{
    bool close = true;
    guarded(m_context.ui, "Form_Unload", [&] {
        if (m_context.ui.askYesNo(QStringLiteral("Do you want to save the changes to the database?"),
                                  QStringLiteral("Update Database")) &&
            saveDespiteReadErrors()) {
            m_sets->TransferData();
            m_libraryTree->UndisplayAllTree();
            // saveDB has said why; the changes are nowhere but in this window now.
            if (!m_manager.saveDB(m_tree->keysInWalkOrder()).isDone() &&
                !m_context.ui.askYesNo(
                    QStringLiteral("The library could not be saved, so the changes made since it was opened "
                                   "are only in this window. Close anyway and lose them?"),
                    QStringLiteral("Update Database"), UiPort::Icon::Exclamation)) {
                close = false;
                m_libraryTree->RebuildFiltered();
            }
        }
    });
    if (!close)
        return false;
    m_details->clearDisplayedScenery();
    m_sets->release();
    m_organiser->release();
    m_tree->setSelectedItem(nullptr);
    emit unloaded();
    return true;
}

bool frmScenery::saveDespiteReadErrors()
{
    // What could not be read is still in the files; saving would replace them with the rest.
    if (m_libraryProblems.isEmpty())
        return true;
    return m_context.ui.askYesNo(
        QStringLiteral(
            "The library files were read with errors:\r\n%1\r\n\r\nSaving now replaces them with what "
            "could be read, and the rest is lost from them (their .backup copies stay as they are). "
            "Save anyway?")
            .arg(describeProblems(m_libraryProblems)),
        QStringLiteral("Update Database"), UiPort::Icon::Exclamation);
}

void frmScenery::tbsScenery_Click(int page)
{
    m_details->tbsScenery_Click(page);
    m_organiser->setMoveToPageShown(m_details->tbsScenery().selected == DetailsPanel::TabMoveTo);
    m_fileList->setShown(m_details->tbsScenery().selected == DetailsPanel::TabFileList);
}
