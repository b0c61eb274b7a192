#include "app/frmscenery.h"

#include "app/debuglog.h"
#include "library/scenerymanager.h"
#include "platform/errorreporter.h"
#include "settings/programsettings.h"
#include "sims/location.h"
#include "tree/librarytree.h"

namespace {
const QString Ready = QStringLiteral("Ready.");
}

const QStringList frmScenery::SalesTypes = {QStringLiteral("Copyleft"), QStringLiteral("Freeware"),
                                            QStringLiteral("Payware"), QStringLiteral("Public Domain"),
                                            QStringLiteral("Shareware")};
const QStringList frmScenery::GroupIDs = {QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("2"),
                                          QStringLiteral("3"), QStringLiteral("4"), QStringLiteral("5")};
const QStringList frmScenery::FilterCaptions = {QStringLiteral("FS95"),  QStringLiteral("FS98"),
                                                QStringLiteral("FS2K"),  QStringLiteral("FS2K2"),
                                                QStringLiteral("CFS"),   QStringLiteral("CFS2")};

frmScenery::frmScenery(AppContext &context, SceneryManager &manager, QObject *parent)
    : QObject(parent),
      m_context(context),
      m_manager(manager),
      m_settings(std::make_unique<ProgramSettings>(context.settings, context.programFolder())),
      m_tree(std::make_unique<Tree>()),
      m_libraryTree(std::make_unique<LibraryTree>(manager, *m_tree, context.ui))
{
    m_libraryTree->setFilterMask(std::function<qint16()>([this] { return qint16(filterMask()); }));
    connect(m_libraryTree.get(), &LibraryTree::treeRebuilt, this, &frmScenery::onTreeRebuilt);
    connect(m_libraryTree.get(), &LibraryTree::authorsChanged, this, &frmScenery::detailsChanged);
}

frmScenery::~frmScenery() = default;

void frmScenery::guarded(const char *procedure, const std::function<void()> &body)
{
    try {
        body();
    } catch (const LmError &e) {
        reportError(m_context.ui, QLatin1Char('.') + QLatin1String(procedure), e);
    }
}

void frmScenery::debugLog(const QString &message) const
{
    if (m_debugLog && m_debugLog->enabled())
        m_debugLog->write(message);
}

void frmScenery::Form_Initialize()
{
    guarded("Form_Initialize", [&] {
        debugLog(Start::DebugLog::Initialize);
        debugLog(Start::DebugLog::InitializeEnd);
    });
}

void frmScenery::Form_Load()
{
    guarded("Form_Load", [&] {
        m_splash.Form_Load();
        m_splash.Text1Visible = false;
        m_splash.lblCloseVisible = false;
        m_splash.show();
        emit splashChanged();
        m_context.ui.processEvents();

        BusyPointer busy(m_context.ui);

        // The boxes are restored without rebuilding the tree or storing the setting again.
        ProgramSettings::FilterBoxes boxes = m_filter;
        if (m_settings->applyFilter(boxes)) {
            m_eventsSuppressed = true;
            for (int i = 0; i < ProgramSettings::FilterBoxCount; ++i)
                chkFilter_Click(i, boxes[std::size_t(i)]);
            m_eventsSuppressed = false;
        }

        m_removed.clear();
        tbsScenery_Click(m_tabs.selected);
        setTitle();

        // A library that cannot be read completely still opens: each reader reports its failures.
        bool isNew = false;
        runStep(m_context.ui, QStringLiteral(".Form_Load"),
                [&] { m_libraryProblems = m_manager.readDB(isNew).problems; });
        runStep(m_context.ui, QStringLiteral(".Form_Load"), [&] {
            QString file;
            m_manager.readCFG(file, false);
        });

        fillSetList();
        m_libraryTree->fillTree(0, isNew);
        TransferData();
        ReadSize();
    });
}

void frmScenery::Form_Activate()
{
    guarded("Form_Activate", [&] {
        debugLog(Start::DebugLog::HideSplash);
        if (m_splash.isVisible()) {
            m_splash.hide();
            emit splashChanged();
        }
        debugLog(Start::DebugLog::HideSplashEnd);
    });
}

void frmScenery::Form_Unload()
{
    guarded("Form_Unload", [&] {
        if (m_context.ui.askYesNo(QStringLiteral("Do you want to save the changes to the database?"),
                                  QStringLiteral("Update Database")) &&
            saveDespiteReadErrors()) {
            TransferData();
            m_libraryTree->UndisplayAllTree();
            m_manager.saveDB(m_tree->keysInWalkOrder());
        }
    });
    m_displayedScenery.reset();
    m_displayedSet.reset();
    m_removed.clear();
    m_tree->setSelectedItem(nullptr);
    m_dragNodeKey.clear();
    emit unloaded();
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

void frmScenery::Display(const QString &message)
{
    if (m_status.panels[0] == message)
        return;
    m_status.panels[0] = message;
    emit statusChanged();
}

void frmScenery::setTitle()
{
    const QString caption = QStringLiteral("Lumivale 1.6 - ") + Location::simulatorName(m_manager.SimType);
    if (caption == m_caption)
        return;
    m_caption = caption;
    emit captionChanged();
}

// ---- The library tree --------------------------------------------------------------------

TreeNode *frmScenery::currentNode() const
{
    return m_tree->selectedItem();
}

TreeNode *frmScenery::dragNode() const
{
    return m_tree->node(m_dragNodeKey);
}

void frmScenery::trvScenery_NodeCheck(TreeNode *node)
{
    guarded("trvScenery_NodeCheck", [&] {
        if (!node)
            return;
        m_libraryTree->SelectSubNodes(node);
        TransferData();
    });
}

void frmScenery::trvScenery_KeyUp()
{
    if (TreeNode *node = currentNode())
        trvScenery_NodeClick(node);
}

void frmScenery::trvScenery_MouseDown(TreeNode *node)
{
    m_dragNodeKey = node ? node->key() : QString();
    if (node) {
        // The pressed node becomes the selected one even when the press lands on its check box,
        // which the tree control does not select: the commands act on what the panel shows.
        m_tree->setSelectedItem(node);
        trvScenery_NodeClick(node);
    }
    m_dropHighlightKey.clear();
}

frmScenery::PopupMenu frmScenery::trvScenery_RightClick()
{
    TreeNode *node = currentNode();
    if (!node)
        return PopupMenu::None;
    if (!isSceneryKey(node->key()))
        return PopupMenu::Level;
    fillSetMenu();
    m_setSubMenusVisible = true;
    return PopupMenu::Scenery;
}

bool frmScenery::trvScenery_BeforeLabelEdit() const
{
    TreeNode *node = currentNode();
    return node && isLevelKey(node->key()) && node->text() != LibraryNames::NewLevelCaption;
}

bool frmScenery::trvScenery_AfterLabelEdit(TreeNode *node, const QString &newString)
{
    bool accepted = false;
    guarded("trvScenery_AfterLabelEdit", [&] {
        if (!node || !isLevelKey(node->key()) || node->text() == LibraryNames::NewLevelCaption)
            return;
        QString caption = newString;
        caption.replace(QLatin1Char('\\'), QLatin1Char('/'));
        // A level without a caption could not be told apart or found again.
        if (caption.isEmpty())
            return;
        m_manager.dicLevel.item(node->key())->sLevelCaption = caption;
        node->setText(caption);
        accepted = true;
    });
    return accepted;
}

void frmScenery::onTreeRebuilt()
{
    // A rebuild marks the boxes from InCFG. Right after a Scenery.cfg was read that is what
    // "(Current)" is to hold; otherwise the displayed set's own marks are put back, so that the
    // next write-back does not replace its members by the InCFG marks.
    if (m_cfgMarksPending) {
        m_cfgMarksPending = false;
        m_hiddenFromCfg = true;
        return;
    }
    applySetMarks();
}

void frmScenery::applySetMarks()
{
    if (!m_displayedSet)
        return;
    const OrderedMap<QString> &members = m_displayedSet->colUsedSceneries;
    for (TreeNode *node = m_tree->firstAdded(); node; node = node->nextAdded())
        node->setChecked(members.contains(node->text()));
}

// ---- Sim filter --------------------------------------------------------------------------

qint32 frmScenery::filterMask() const
{
    qint32 mask = 0;
    for (int i = 0; i < int(m_filter.size()); ++i) {
        if (m_filter[std::size_t(i)])
            mask += 1 << i;
    }
    return mask;
}

void frmScenery::chkFilter_Click(int index, bool checked)
{
    if (index < 0 || index >= int(m_filter.size()))
        return;
    if (m_filter[std::size_t(index)] != checked) {
        m_filter[std::size_t(index)] = checked;
        emit filtersChanged();
    }
    if (m_eventsSuppressed)
        return;
    guarded("chkFilter_Click", [&] {
        m_settings->setFilter(m_filter);
        m_libraryTree->fillTree(qint16(filterMask()), false);
    });
}
