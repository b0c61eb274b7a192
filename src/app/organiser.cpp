#include "app/organiser.h"

#include "app/detailspanel.h"
#include "app/setselector.h"
#include "app/windowprocedure.h"
#include "app/windowstatus.h"
#include "library/scenerymanager.h"
#include "settings/programsettings.h"
#include "tree/librarytree.h"

const QStringList Organiser::FilterCaptions = {QStringLiteral("FS95"), QStringLiteral("FS98"),
                                               QStringLiteral("FS2K"), QStringLiteral("FS2K2"),
                                               QStringLiteral("CFS"),  QStringLiteral("CFS2")};

Organiser::Organiser(AppContext &context, SceneryManager &manager, Tree &tree, LibraryTree &libraryTree,
                     ProgramSettings &settings, WindowStatus &status, SetSelector &sets,
                     DetailsPanel &details, QObject *parent)
    : QObject(parent), m_context(context), m_manager(manager), m_tree(tree), m_libraryTree(libraryTree),
      m_settings(settings), m_status(status), m_sets(sets), m_details(details)
{
    m_libraryTree.setFilterMask(std::function<qint16()>([this] { return qint16(filterMask()); }));
}

Organiser::~Organiser() = default;

void Organiser::release()
{
    m_removed.clear();
    m_dragNodeKey.clear();
}

// ---- The sim filter ----------------------------------------------------------------------

qint32 Organiser::filterMask() const
{
    qint32 mask = 0;
    for (int i = 0; i < int(m_filter.size()); ++i) {
        if (m_filter[std::size_t(i)])
            mask += 1 << i;
    }
    return mask;
}

void Organiser::chkFilter_Click(int index, bool checked)
{
    if (index < 0 || index >= int(m_filter.size()))
        return;
    if (m_filter[std::size_t(index)] != checked) {
        m_filter[std::size_t(index)] = checked;
        emit filtersChanged();
    }
    if (m_restoringFilter)
        return;
    guarded(m_context.ui, "chkFilter_Click", [&] {
        // The tree follows the boxes even when the settings cannot keep them.
        m_libraryTree.fillTree(qint16(filterMask()), false);
        m_settings.setFilter(m_filter);
    });
}

void Organiser::restoreFilter()
{
    ProgramSettings::FilterBoxes boxes = m_filter;
    if (!m_settings.applyFilter(boxes))
        return;
    m_restoringFilter = true;
    for (int i = 0; i < ProgramSettings::FilterBoxCount; ++i)
        chkFilter_Click(i, boxes[std::size_t(i)]);
    m_restoringFilter = false;
}

// ---- Label edits ---------------------------------------------------------------------------

bool Organiser::trvScenery_BeforeLabelEdit() const
{
    const TreeNode *node = m_tree.selectedItem();
    return node && isLevelKey(node->key()) && node->text() != LibraryNames::NewLevelCaption;
}

bool Organiser::trvScenery_AfterLabelEdit(TreeNode *node, const QString &newString)
{
    bool accepted = false;
    guarded(m_context.ui, "trvScenery_AfterLabelEdit", [&] {
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

// ---- The search ----------------------------------------------------------------------------

void Organiser::mnuWizardSearch_Click()
{
    guarded(m_context.ui, "mnuWizardSearch_Click", [&] {
        UiPort &ui = m_context.ui;
        m_status.Display(QStringLiteral("Search for scenery or level."));
        const QString wanted = ui.input(QStringLiteral("Insert a search string:"),
                                        QStringLiteral("Search scenery or level"), QString())
                                   .toUpper();
        if (wanted.isEmpty())
            return;
        // Nodes in the order they were added: after a rebuild the levels, then the sceneries.
        for (TreeNode *node = m_tree.firstAdded(); node; node = node->nextAdded()) {
            if (!node->text().toUpper().contains(wanted))
                continue;
            m_tree.setSelectedItem(node);
            node->ensureVisible();
            m_details.trvScenery_NodeClick(node);
            if (!ui.askYesNo(QStringLiteral("Find next?"), QStringLiteral("Found!"), UiPort::Icon::Question))
                return;
        }
        m_status.Display(QStringLiteral("Ready."));
    });
}

// ---- Keys ----------------------------------------------------------------------------------

TreeNode *Organiser::replaceNode(TreeNode *old, TreeNode *relative, Tree::Relation relation,
                                 const QString &key)
{
    const QString newKey = key.isEmpty() ? old->key() : key;
    // The old node gives up its key first, so that the new one can take it.
    m_tree.setKey(old, QStringLiteral("Move") + old->key());
    TreeNode *fresh = m_tree.add(relative, relation, newKey, old->text());
    while (TreeNode *child = old->firstChild())
        m_tree.move(child, fresh, Tree::Relation::Child);
    fresh->setChecked(old->checked());
    fresh->setBold(old->bold());
    fresh->setBackColor(old->backColor());
    fresh->setForeColor(old->foreColor());
    fresh->setExpanded(old->expanded());
    m_tree.remove(old);
    return fresh;
}
