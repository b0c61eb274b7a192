#include "gui/app/mainwindow.h"

#include "app/commandtable.h"
#include "app/frmscenery.h"
#include "gui/app/excludeflattenpage.h"
#include "gui/app/filelistpage.h"
#include "gui/app/scenerydetailspage.h"
#include "gui/app/splashview.h"
#include "gui/app/toolbaricons.h"
#include "gui/tree/nodedelegate.h"
#include "gui/tree/treemodel.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDrag>
#include <QDropEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSplitter>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QToolBar>
#include <QTreeView>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <cmath>

namespace {

const char *const CommandProperty = "command";

} // namespace

// ---- Tables ----------------------------------------------------------------------------------

Start::Command MainWindow::commandForMenuCaption(const QString &caption)
{
    QString plain = caption;
    plain.remove(QLatin1Char('&'));
    // Two entries carry a caption of their own.
    if (plain == QStringLiteral("Create Scenery.cfg"))
        return Start::Command::CreateScenery;
    if (plain == QStringLiteral("Install V1.5 Backup"))
        return Start::Command::Install15Backup;
    for (const Start::CommandRow &row : Start::commandRows()) {
        if (row.command != Start::Command::None && row.caption.compare(plain, Qt::CaseInsensitive) == 0)
            return row.command;
    }
    return Start::Command::None;
}

const QList<MainWindow::MenuDefinition> &MainWindow::menuDefinitions()
{
    static const QList<MenuDefinition> menus = [] {
        const auto menu = [](const char *title, std::initializer_list<const char *> captions) {
            MenuDefinition definition{QString::fromLatin1(title), {}};
            for (const char *caption : captions) {
                const QString text = QString::fromLatin1(caption);
                definition.entries.append(
                    MenuEntry{text, text.isEmpty() ? Start::Command::None : commandForMenuCaption(text)});
            }
            return definition;
        };
        return QList<MenuDefinition>{
            menu("&Level", {"&Add Level", "&Remove Level", "Re&name Level", "S&ort Level Ascending",
                            "Sort Level &Descending", "&Move to level...", "&Search..."}),
            menu("&Scenery", {"&Add Scenery", "&Remove Scenery", "&Undo remove Scenery", "Re&name Scenery",
                              "&Move to Level...", "Move Scenery on &Harddrive", "&Search...",
                              "&Test local paths", "", "Absolute scenery paths",
                              "Current to absolute scenery path", "Add to Set...", "Remove from Set..."}),
            menu("Se&t", {"&Add Set", "&Remove Set", "R&ename Set", "", "&Find sceneries without set",
                          "&Copy Current to displayed Set"}),
            menu("S&cenery.cfg", {"&Update from Scenery.cfg", "&Create Scenery.cfg", "", "Check &library"}),
            menu("&Backup", {"&Make Backup", "&Install Backup", "Install V1.5 Backup", "&Delete Backup", "",
                             "&Backup file list"}),
            menu("&Wizard",
                 {"&Prepare CDRom", "", "Create &new file list", "Create &FILE_ID.DIZ",
                  "Create Scenery.&zip file", "", "&Global texture management", "", "&Scenery list report"}),
            menu("&Preferences", {"&Basic Folders", "&Cache", "&Select sim type", "&Define hotkey"}),
            menu("&Help", {"&Documentation", "&Homepage", "&Forum", "&Info"}),
        };
    }();
    return menus;
}

const QList<MainWindow::ToolButton> &MainWindow::toolButtons()
{
    using enum Start::Command;
    static const QList<ToolButton> buttons = [] {
        QList<ToolButton> list;
        const auto add = [&list](const char *key, const char *tip, Start::Command command) {
            list.append(ToolButton{QString::fromLatin1(key), QString::fromLatin1(tip), command});
        };
        const auto separator = [&list] { list.append(ToolButton{}); };
        add("btnMoveFirst", "Move level or scenery to the first place", MoveTop);
        add("btnMovePrevious", "Move level or scenery one step upwards", MoveUp);
        add("btnMoveNext", "Move level or scenery one step downwards", MoveDown);
        add("btnMoveLast", "Move level or scenery to the last place", MoveBottom);
        separator();
        add("btnLevelAdd", "Create new level", AddLevel);
        add("btnLevelRemove", "Remove selected level", RemoveLevel);
        add("btnLevelRename", "Rename the level", RenameLevel);
        add("btnLevelSortAsc", "Sort level ascending", SortLevelAscending);
        add("btnLevelSortDesc", "Sort level descending", SortLevelDescending);
        separator();
        add("btnMoveToLevel", "Move to level...", MoveToLevel);
        add("btnSearch", "Search a scenery or level", Search);
        separator();
        add("btnSceneryAdd", "Create new scenery entry", AddScenery);
        add("btnSceneryRemove", "Remove selected scenery", RemoveScenery);
        add("btnSceneryRemoveUndo", "Undo remove scenery", UndoRemoveScenery);
        add("btnSceneryRename", "Rename selected scenery", RenameScenery);
        add("btnSceneryMoveHardDrive", "Move scenery on harddrive", MoveSceneryOnHarddrive);
        add("btnSceneryTestPath", "Test local paths", TestLocalPaths);
        separator();
        add("btnSetAdd", "Create new set", AddSet);
        add("btnSetRemove", "Delete selected set", RemoveSet);
        add("btnSetRename", "Rename selected set", RenameSet);
        add("btnTestLink", "Find sceneries without sets", FindSceneriesWithoutSet);
        add("btnSetCreateFromCurrent", "Create new set from current set", CopyCurrentToDisplayedSet);
        separator();
        add("btnWizardUpdateFromCFG", "Update from scenery.cfg", UpdateFromSceneryCfg);
        add("btnInstallScenery", "Create scenery.cfg", CreateScenery);
        separator();
        add("btnBackupMake", "Make new backup", MakeBackup);
        add("btnBackupInstall", "Install backup", InstallBackup);
        add("btnBackupDelete", "Delete backup", DeleteBackup);
        return list;
    }();
    return buttons;
}

Start::Command MainWindow::commandOf(const QAction *action)
{
    return action ? Start::Command(action->property(CommandProperty).toInt()) : Start::Command::None;
}

// ---- Construction ----------------------------------------------------------------------------

MainWindow::MainWindow(frmScenery &form, QWidget *parent) : QMainWindow(parent), m_form(form)
{
    setObjectName(QStringLiteral("frmScenery"));
    setWindowIcon(ToolbarIcons::program());
    m_model = new TreeModel(form.trvScenery(), this);

    buildMenus();
    buildToolBar();

    m_splitter = new QSplitter(Qt::Horizontal, this);
    m_splitter->setChildrenCollapsible(false);
    m_splitter->addWidget(buildTreePane());
    m_splitter->addWidget(buildRightPane());
    m_splitter->setStretchFactor(0, 1);
    m_splitter->setStretchFactor(1, 0);
    auto *central = new QWidget(this);
    auto *centralLayout = new QHBoxLayout(central);
    centralLayout->setContentsMargins(6, 6, 6, 2);
    centralLayout->addWidget(m_splitter);
    setCentralWidget(central);

    buildStatusBar();

    m_splash = new SplashView(form.splash());

    m_resizeTimer.setSingleShot(true);
    m_resizeTimer.setInterval(0);
    connect(&m_resizeTimer, &QTimer::timeout, this, &MainWindow::handleResize);
    m_freeSpaceTimer.setInterval(WindowStatus::FreeSpaceInterval);
    connect(&m_freeSpaceTimer, &QTimer::timeout, this, [this] { m_form.tmrFreeSpace_Timer(); });

    bindLogic();
    qApp->installEventFilter(this);

    refreshCaption();
    refreshStatus();
    refreshSetList();
    refreshFilters();
    refreshTabs();
    refreshFreeSpace();
    refreshCommandStates();
    // Measured with everything in place, the tabs' markers included.
    fitMinimumSize();
}

MainWindow::~MainWindow()
{
    // Taking the window down moves the keyboard focus, and the set combo reports that as a pick;
    // the logic must not hear from widgets of a window that is half gone.
    qApp->removeEventFilter(this);
    const QList<QObject *> children = findChildren<QObject *>();
    for (QObject *child : children)
        disconnect(child, nullptr, this, nullptr);
    delete m_splash;
}

void MainWindow::fitMinimumSize()
{
    // The window never gets smaller than the size it was designed for, nor than its content needs
    // with this desktop's fonts: nothing is cut then, the toolbar's buttons included.
    const QSize designed(int(std::ceil(WindowLayout::DesignWidth / twipsPerPixelX())),
                         int(std::ceil(WindowLayout::DesignHeight / twipsPerPixelY())));
    QSize needed = minimumSizeHint();
    needed.setWidth(std::max(needed.width(), m_toolBar->sizeHint().width()));
    if (designed.expandedTo(needed) != minimumSize())
        setMinimumSize(designed.expandedTo(needed));
}

bool MainWindow::event(QEvent *event)
{
    const bool handled = QMainWindow::event(event);
    // What the content needs changes with it (a longer author list, a marker on a tab).
    if (event->type() == QEvent::LayoutRequest)
        fitMinimumSize();
    return handled;
}

double MainWindow::twipsPerPixelX() const
{
    return 1440.0 / logicalDpiX();
}

double MainWindow::twipsPerPixelY() const
{
    return 1440.0 / logicalDpiY();
}

void MainWindow::buildMenus()
{
    for (const MenuDefinition &definition : menuDefinitions()) {
        QMenu *menu = menuBar()->addMenu(definition.title);
        for (const MenuEntry &entry : definition.entries) {
            if (entry.caption.isEmpty()) {
                menu->addSeparator();
                continue;
            }
            if (entry.caption == QStringLiteral("Add to Set...") ||
                entry.caption == QStringLiteral("Remove from Set...")) {
                QMenu *sub = menu->addMenu(entry.caption);
                QAction *action = sub->menuAction();
                action->setVisible(false);
                (entry.caption.startsWith(QStringLiteral("Add")) ? m_addToSet : m_removeFromSet) = action;
                continue;
            }
            QAction *action = menu->addAction(entry.caption);
            action->setProperty(CommandProperty, int(entry.command));
            const Start::Command command = entry.command;
            connect(action, &QAction::triggered, this, [this, command] { m_form.runCommand(command); });
            m_commandActions.append(action);
        }
        connect(menu, &QMenu::aboutToShow, this, &MainWindow::refreshCommandStates);
        if (definition.title == QStringLiteral("&Level"))
            m_levelMenu = menu;
        else if (definition.title == QStringLiteral("&Scenery"))
            m_sceneryMenu = menu;
    }
}

void MainWindow::buildToolBar()
{
    m_toolBar = addToolBar(QStringLiteral("Toolbar"));
    m_toolBar->setObjectName(QStringLiteral("tlbButtons"));
    m_toolBar->setMovable(false);
    m_toolBar->setIconSize(QSize(24, 24));
    m_toolBar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    for (const ToolButton &button : toolButtons()) {
        if (button.key.isEmpty()) {
            m_toolBar->addSeparator();
            continue;
        }
        QAction *action = m_toolBar->addAction(ToolbarIcons::button(button.key), button.toolTip);
        action->setObjectName(button.key);
        action->setToolTip(button.toolTip);
        const Start::Command command = button.command;
        action->setProperty(CommandProperty, int(command));
        connect(action, &QAction::triggered, this, [this, command] { m_form.runCommand(command); });
        m_commandActions.append(action);
    }
}

QWidget *MainWindow::buildTreePane()
{
    auto *pane = new QWidget(this);
    auto *layout = new QVBoxLayout(pane);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);

    m_tree = new QTreeView(pane);
    m_tree->setObjectName(QStringLiteral("trvScenery"));
    m_tree->setModel(m_model);
    m_tree->setHeaderHidden(true);
    m_tree->setUniformRowHeights(true);
    m_tree->setSelectionMode(QAbstractItemView::SingleSelection);
    m_tree->setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
    m_tree->setContextMenuPolicy(Qt::CustomContextMenu);
    m_tree->setItemDelegate(new NodeDelegate(m_tree));
    m_tree->setMinimumWidth(180);
    m_expansion = new TreeExpansion(*m_tree, *m_model);
    layout->addWidget(m_tree, 1);

    auto *filterRow = new QHBoxLayout;
    filterRow->setSpacing(10);
    filterRow->addWidget(new QLabel(tr("Filter:"), pane));
    for (int i = 0; i < int(m_filter.size()); ++i) {
        auto *box = new QCheckBox(Organiser::FilterCaptions.at(i), pane);
        box->setObjectName(QStringLiteral("chkFilter(%1)").arg(i));
        box->setToolTip(QStringLiteral("Filter scenery list"));
        m_filter[std::size_t(i)] = box;
        filterRow->addWidget(box);
    }
    filterRow->addStretch(1);
    layout->addLayout(filterRow);
    return pane;
}

QWidget *MainWindow::buildRightPane()
{
    auto *pane = new QWidget(this);
    auto *layout = new QVBoxLayout(pane);
    layout->setContentsMargins(6, 0, 0, 0);
    layout->setSpacing(6);

    auto *setRow = new QHBoxLayout;
    setRow->setSpacing(6);
    m_setCombo = new QComboBox(pane);
    m_setCombo->setObjectName(QStringLiteral("cboScenerySet"));
    m_setCombo->setEditable(true);
    m_setCombo->setInsertPolicy(QComboBox::NoInsert);
    m_setCombo->setCompleter(nullptr);
    m_setCombo->setMinimumContentsLength(16);
    auto *setLabel = new QLabel(QStringLiteral("Set:"), pane);
    setLabel->setObjectName(QStringLiteral("lblSet"));
    setLabel->setBuddy(m_setCombo);
    m_changeSim = new QPushButton(pane);
    m_changeSim->setObjectName(QStringLiteral("cmdChangeFlightSimSet"));
    m_changeSim->setToolTip(QStringLiteral("Move Set to different sim."));
    m_changeSim->setIcon(ToolbarIcons::button(QStringLiteral("btnSetCreateFromCurrent")));
    m_changeSim->setEnabled(false);
    m_freeSpace = new QLabel(pane);
    m_freeSpace->setObjectName(QStringLiteral("lblFreeSpace"));
    m_freeSpace->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_freeSpace->setMinimumWidth(
        m_freeSpace->fontMetrics().horizontalAdvance(QStringLiteral("Free space on C: 0000000 MB")));
    setRow->addWidget(setLabel);
    setRow->addWidget(m_setCombo, 1);
    setRow->addWidget(m_changeSim);
    setRow->addSpacing(8);
    setRow->addWidget(m_freeSpace);
    layout->addLayout(setRow);

    m_tabs = new QTabWidget(pane);
    m_tabs->setObjectName(QStringLiteral("tbsScenery"));
    // Every tab stays readable: the pane is never narrower than the four of them.
    m_tabs->tabBar()->setUsesScrollButtons(false);
    m_tabs->tabBar()->setElideMode(Qt::ElideNone);
    m_tabs->addTab(new SceneryDetailsPage(m_form), QStringLiteral("Scenery Details"));
    m_tabs->addTab(new ExcludeFlattenPage(m_form), QStringLiteral("Exclude / Flatten"));
    m_tabs->addTab(buildMoveToPage(), QStringLiteral("Move to"));
    m_tabs->addTab(new FileListPage(m_form), QStringLiteral("File list"));
    layout->addWidget(m_tabs, 1);
    return pane;
}

QWidget *MainWindow::buildMoveToPage()
{
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("fraMoveTo"));
    auto *layout = new QVBoxLayout(page);
    layout->setContentsMargins(10, 10, 10, 10);
    m_moveToModel = new TreeModel(m_form.organiser().trvMoveTo(), this);
    m_moveToModel->setCheckable(false);
    m_moveToView = new QTreeView(page);
    m_moveToView->setObjectName(QStringLiteral("trvMoveTo"));
    m_moveToView->setHeaderHidden(true);
    m_moveToView->setModel(m_moveToModel);
    m_moveToView->setItemDelegate(new NodeDelegate(m_moveToView));
    m_moveToView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // The double click is the logic's: it opens or closes the level itself.
    m_moveToView->setExpandsOnDoubleClick(false);
    m_moveToView->setToolTip(tr("Drop a scenery on a level to move it there"));
    new TreeExpansion(*m_moveToView, *m_moveToModel);
    layout->addWidget(m_moveToView, 1);
    return page;
}

void MainWindow::buildStatusBar()
{
    QStatusBar *bar = statusBar();
    bar->setObjectName(QStringLiteral("stbStatus"));
    for (int i = 0; i < 4; ++i) {
        auto *label = new QLabel(bar);
        label->setObjectName(QStringLiteral("stbStatusPanel%1").arg(i + 1));
        label->setContentsMargins(4, 0, 4, 0);
        m_panels[std::size_t(i)] = label;
    }
    bar->addWidget(m_panels[0], 1);
    m_panels[1]->setMinimumWidth(m_panels[1]->fontMetrics().horizontalAdvance(QStringLiteral("Level: 0000")) +
                                 8);
    m_panels[2]->setMinimumWidth(
        m_panels[2]->fontMetrics().horizontalAdvance(QStringLiteral("Sceneries: 00000")) + 8);
    bar->addPermanentWidget(m_panels[1]);
    bar->addPermanentWidget(m_panels[2]);
    auto *panel4 = new QWidget(bar);
    auto *panel4Layout = new QHBoxLayout(panel4);
    panel4Layout->setContentsMargins(0, 0, 0, 0);
    panel4Layout->setSpacing(2);
    m_warning = new QLabel(panel4);
    m_warning->setObjectName(QStringLiteral("stbStatusWarning"));
    m_warning->setPixmap(ToolbarIcons::warning().pixmap(16, 16));
    m_warning->setToolTip(tr("More sceneries than one Scenery.cfg can take"));
    m_warning->setVisible(false);
    panel4Layout->addWidget(m_warning);
    panel4Layout->addWidget(m_panels[3]);
    m_panels[3]->setMinimumWidth(
        m_panels[3]->fontMetrics().horizontalAdvance(QStringLiteral("Sceneries in Set: 0000 / 0000")) + 8);
    bar->addPermanentWidget(panel4);
}

// ---- Binding ---------------------------------------------------------------------------------

void MainWindow::bindLogic()
{
    m_model->setCheckHandler([this](TreeNode *node) { m_form.trvScenery_NodeCheck(node); });
    m_model->setEditHandlers(
        [this](TreeNode *node) {
            return node == m_form.trvScenery().selectedItem() && m_form.trvScenery_BeforeLabelEdit();
        },
        [this](TreeNode *node, const QString &text) { return m_form.trvScenery_AfterLabelEdit(node, text); });

    Tree &tree = m_form.trvScenery();
    // The tree is hidden while it is rebuilt.
    connect(&tree, &Tree::aboutToReset, this, [this] { m_tree->setUpdatesEnabled(false); });
    connect(&tree, &Tree::reset, this, [this] { m_tree->setUpdatesEnabled(true); });
    connect(&tree, &Tree::selectionChanged, this, &MainWindow::onTreeSelection);
    connect(m_tree->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex &current) {
                if (m_syncingSelection)
                    return;
                m_syncingSelection = true;
                m_form.trvScenery().setSelectedItem(m_model->nodeAt(current));
                m_syncingSelection = false;
            });
    m_tree->setAcceptDrops(true);
    m_tree->viewport()->setAcceptDrops(true);

    connect(m_moveToView->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex &current) {
                m_form.organiser().trvMoveTo().setSelectedItem(m_moveToModel->nodeAt(current));
            });
    connect(m_moveToView, &QTreeView::doubleClicked, this, [this] { m_form.trvMoveTo_DblClick(); });
    m_moveToView->setAcceptDrops(true);
    m_moveToView->viewport()->setAcceptDrops(true);
    connect(m_tree, &QTreeView::customContextMenuRequested, this,
            [this](const QPoint &pos) { openPopupMenu(m_tree->viewport()->mapToGlobal(pos)); });

    connect(m_setCombo, &QComboBox::activated, this,
            [this](int index) { m_form.cboScenerySet_Click(index); });
    connect(m_setCombo->lineEdit(), &QLineEdit::textEdited, this,
            [this](const QString &text) { m_form.cboScenerySet_Change(text); });
    // The combo hands its keys to its line edit directly, past every event filter; the line edit's
    // own signal is what sees Enter.
    connect(m_setCombo->lineEdit(), &QLineEdit::returnPressed, this,
            [this] { m_form.cboScenerySet_KeyDown(Qt::Key_Return); });

    for (int i = 0; i < int(m_filter.size()); ++i)
        connect(m_filter[std::size_t(i)], &QCheckBox::clicked, this,
                [this, i](bool checked) { m_form.chkFilter_Click(i, checked); });
    connect(m_tabs, &QTabWidget::currentChanged, this, [this](int page) { m_form.tbsScenery_Click(page); });

    connect(&m_form.status(), &WindowStatus::captionChanged, this, &MainWindow::refreshCaption);
    connect(&m_form.status(), &WindowStatus::statusChanged, this, &MainWindow::refreshStatus);
    connect(&m_form.sets(), &SetSelector::setListChanged, this, &MainWindow::refreshSetList);
    // Every switch of the displayed set recounts its members; "(Current)" has no simulator to change.
    connect(&m_form.status(), &WindowStatus::statusChanged, this, [this] {
        const CfgPtr set = m_form.sets().displayedSet();
        m_changeSim->setEnabled(set && set->Key != LibraryNames::CurrentSet);
    });
    connect(m_changeSim, &QPushButton::clicked, this, [this] { m_form.cmdChangeFlightSimSet_Click(); });
    connect(&m_form.organiser(), &Organiser::filtersChanged, this, &MainWindow::refreshFilters);
    connect(&m_form.details(), &DetailsPanel::tabsChanged, this, &MainWindow::refreshTabs);
    connect(&m_form.status(), &WindowStatus::freeSpaceChanged, this, &MainWindow::refreshFreeSpace);
    connect(&m_form.layout(), &WindowLayout::placementChanged, this, &MainWindow::applyPlacement);
    connect(&m_form, &frmScenery::splashChanged, this, [this] { m_splash->sync(); });
    connect(&m_form, &frmScenery::unloaded, this, [this] {
        // Every other window of the program closes with the main window.
        const QWidgetList windows = QApplication::topLevelWidgets();
        for (QWidget *window : windows) {
            if (window != this && window->isVisible())
                window->close();
        }
    });
}

void MainWindow::refreshCommandStates()
{
    for (QAction *action : std::as_const(m_commandActions))
        action->setEnabled(m_form.isCommandAvailable(commandOf(action)));
}

void MainWindow::selectNode(TreeNode *node)
{
    const QModelIndex index = m_model->indexOf(node);
    m_tree->setCurrentIndex(index);
    m_tree->scrollTo(index);
    if (node)
        m_form.trvScenery_NodeClick(node);
}

void MainWindow::onTreeSelection(TreeNode *node)
{
    if (m_syncingSelection)
        return;
    m_syncingSelection = true;
    const QModelIndex index = m_model->indexOf(node);
    if (index.isValid()) {
        m_tree->setCurrentIndex(index);
        m_tree->scrollTo(index);
    } else {
        m_tree->selectionModel()->clear();
    }
    m_syncingSelection = false;
}

void MainWindow::fillSetSubMenus()
{
    const SetSelector::SetMenu &menu = m_form.sets().setMenu();
    QMenu *add = m_addToSet->menu();
    QMenu *remove = m_removeFromSet->menu();
    add->clear();
    remove->clear();
    // Entry 0 is the hidden design-time entry; entry i belongs to the i-th set.
    for (int i = 1; i < menu.mnuSets.size(); ++i) {
        if (menu.mnuSets.at(i).visible) {
            QAction *action = add->addAction(menu.mnuSets.at(i).caption);
            connect(action, &QAction::triggered, this, [this, i] { m_form.mnuSets_Click(i); });
        }
    }
    for (int i = 1; i < menu.mnuInSets.size(); ++i) {
        if (menu.mnuInSets.at(i).visible) {
            QAction *action = remove->addAction(menu.mnuInSets.at(i).caption);
            connect(action, &QAction::triggered, this, [this, i] { m_form.mnuInSets_Click(i); });
        }
    }
    m_addToSet->setEnabled(menu.mnuAddToSetEnabled);
    m_removeFromSet->setEnabled(menu.mnuRemoveFromSetEnabled);
}

void MainWindow::openPopupMenu(const QPoint &globalPos)
{
    switch (m_form.trvScenery_RightClick()) {
    case SetSelector::PopupMenu::None:
        return;
    case SetSelector::PopupMenu::Level:
        m_levelMenu->exec(globalPos);
        return;
    case SetSelector::PopupMenu::Scenery:
        fillSetSubMenus();
        m_addToSet->setVisible(m_form.sets().setSubMenusVisible());
        m_removeFromSet->setVisible(m_form.sets().setSubMenusVisible());
        m_sceneryMenu->exec(globalPos);
        m_addToSet->setVisible(false);
        m_removeFromSet->setVisible(false);
        m_form.scenerySubMenusClosed();
        return;
    }
}

// ---- Refreshing from the logic ---------------------------------------------------------------

void MainWindow::refreshCaption()
{
    setWindowTitle(m_form.status().Caption());
}

void MainWindow::refreshStatus()
{
    const WindowStatus::StatusBar &status = m_form.status().stbStatus();
    for (int i = 0; i < 4; ++i) {
        QLabel *panel = m_panels[std::size_t(i)];
        if (panel->text() != status.panels[std::size_t(i)])
            panel->setText(status.panels[std::size_t(i)]);
    }
    m_warning->setVisible(status.warningPicture);
}

void MainWindow::refreshSetList()
{
    const SetSelector::SetCombo &combo = m_form.sets().cboScenerySet();
    const QSignalBlocker blocker(m_setCombo);
    QStringList shown;
    for (int i = 0; i < m_setCombo->count(); ++i)
        shown.append(m_setCombo->itemText(i));
    if (shown != combo.items) {
        m_setCombo->clear();
        m_setCombo->addItems(combo.items);
    }
    if (m_setCombo->currentIndex() != combo.listIndex)
        m_setCombo->setCurrentIndex(combo.listIndex);
    if (m_setCombo->currentText() != combo.text)
        m_setCombo->setEditText(combo.text);
}

void MainWindow::refreshFilters()
{
    const std::array<bool, 6> &filter = m_form.organiser().chkFilter();
    for (std::size_t i = 0; i < m_filter.size(); ++i) {
        const QSignalBlocker blocker(m_filter[i]);
        m_filter[i]->setChecked(filter[i]);
    }
}

void MainWindow::refreshTabs()
{
    const DetailsPanel::Tabs &tabs = m_form.details().tbsScenery();
    {
        const QSignalBlocker blocker(m_tabs);
        if (m_tabs->currentIndex() != tabs.selected)
            m_tabs->setCurrentIndex(tabs.selected);
    }
    m_tabs->setTabIcon(DetailsPanel::TabExcFlat,
                       ToolbarIcons::bulb(tabs.excFlatImage == DetailsPanel::ImageFilled));
    m_tabs->setTabIcon(DetailsPanel::TabFileList,
                       ToolbarIcons::bulb(tabs.fileListImage == DetailsPanel::ImageFilled));
}

void MainWindow::refreshFreeSpace()
{
    m_freeSpace->setText(m_form.status().lblFreeSpace());
}

// ---- Placement and layout --------------------------------------------------------------------

void MainWindow::applyPlacement()
{
    // The size is the window's inside, which a window manager cannot change under us; the place
    // is that of the frame, as move() takes it.
    const WindowLayout::Placement &p = m_form.layout().placement();
    if (p.windowState == 2) {
        setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowMaximized);
        return;
    }
    if (p.windowState == 1) {
        setWindowState(windowState() | Qt::WindowMinimized);
        return;
    }
    setWindowState(windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized));
    const QSize size(int(std::lround(p.width / twipsPerPixelX())),
                     int(std::lround(p.height / twipsPerPixelY())));
    const QPoint place(int(std::lround(p.left / twipsPerPixelX())),
                       int(std::lround(p.top / twipsPerPixelY())));
    if (size != this->size())
        resize(size);
    if (place != pos())
        move(place);
}

void MainWindow::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    m_resizeTimer.start();
}

void MainWindow::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        m_resizeTimer.start();
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        activated();
}

void MainWindow::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    // A window manager may keep the focus elsewhere; the splash does not wait for it forever.
    if (!m_activated)
        QTimer::singleShot(ActivationWait, this, &MainWindow::activated);
}

void MainWindow::activated()
{
    if (m_activated || m_unloaded)
        return;
    m_activated = true;
    m_form.Form_Activate();
}

void MainWindow::handleResize()
{
    if (!isVisible())
        return;
    WindowLayout::Placement p;
    p.width = width() * twipsPerPixelX();
    p.height = height() * twipsPerPixelY();
    p.left = pos().x() * twipsPerPixelX();
    p.top = pos().y() * twipsPerPixelY();
    p.windowState = isMinimized() ? 1 : (isMaximized() ? 2 : 0);
    m_form.layout().setPlacement(p);
    if (const std::optional<int> treeWidth = m_form.Form_Resize())
        applyLayout(*treeWidth);
}

void MainWindow::applyLayout(int treeWidthTwips)
{
    // The tree takes every pixel the window has beyond its designed width; the details keep theirs
    // unless they need more to be readable.
    const int total = m_splitter->width() - m_splitter->handleWidth();
    const int treeMinimum = m_splitter->widget(0)->minimumSizeHint().width();
    const int detailsMinimum = m_splitter->widget(1)->minimumSizeHint().width();
    const int tree = std::clamp(int(std::lround(treeWidthTwips / twipsPerPixelX())), treeMinimum,
                                std::max(treeMinimum, total - detailsMinimum));
    m_splitter->setSizes({tree, total - tree});
}

// ---- Dragging a scenery -----------------------------------------------------------------------

QString MainWindow::dragMimeType()
{
    return QStringLiteral("application/x-lumivale-scenery");
}

void MainWindow::startDrag()
{
    const TreeNode *node = m_form.organiser().dragNode();
    if (!node)
        return;
    auto *drag = new QDrag(m_tree);
    auto *data = new QMimeData;
    data->setData(dragMimeType(), node->key().toUtf8());
    drag->setMimeData(data);
    drag->exec(Qt::MoveAction);
    // A drag let go outside both trees ends by dropping on nothing, which moves nothing.
    if (m_form.organiser().dragging()) {
        m_form.trvScenery_DragOver(nullptr);
        m_form.trvScenery_DragDrop();
    }
    m_model->setDropHighlight(QString());
    m_moveToModel->setDropHighlight(QString());
}

bool MainWindow::dragEvent(QObject *watched, QEvent *event)
{
    const bool library = watched == m_tree->viewport();
    TreeModel *model = library ? m_model : m_moveToModel;
    QTreeView *view = library ? m_tree : m_moveToView;
    switch (event->type()) {
    case QEvent::DragEnter: {
        auto *enter = static_cast<QDragEnterEvent *>(event);
        if (!enter->mimeData()->hasFormat(dragMimeType()) || !m_form.organiser().dragging())
            return false;
        enter->acceptProposedAction();
        return true;
    }
    case QEvent::DragMove: {
        auto *move = static_cast<QDragMoveEvent *>(event);
        if (!move->mimeData()->hasFormat(dragMimeType()))
            return false;
        TreeNode *node = model->nodeAt(view->indexAt(move->position().toPoint()));
        if (library) {
            m_form.trvScenery_DragOver(node);
            model->setDropHighlight(m_form.organiser().dropHighlightKey());
        } else {
            m_form.trvMoveTo_DragOver(node);
            model->setDropHighlight(m_form.organiser().moveToDropHighlightKey());
        }
        move->acceptProposedAction();
        return true;
    }
    case QEvent::DragLeave:
        model->setDropHighlight(QString());
        if (library)
            m_form.trvScenery_DragOver(nullptr);
        else
            m_form.trvMoveTo_DragOver(nullptr);
        return false;
    case QEvent::Drop: {
        auto *drop = static_cast<QDropEvent *>(event);
        if (!drop->mimeData()->hasFormat(dragMimeType()))
            return false;
        model->setDropHighlight(QString());
        drop->acceptProposedAction();
        if (library)
            m_form.trvScenery_DragDrop();
        else
            m_form.trvMoveTo_DragDrop();
        return true;
    }
    default:
        return false;
    }
}

// ---- Events ----------------------------------------------------------------------------------

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (!m_unloaded) {
        m_freeSpaceTimer.stop();
        if (!m_form.Form_Unload()) {
            m_freeSpaceTimer.start();
            event->ignore();
            return;
        }
        m_unloaded = true;
    }
    event->accept();
}

QObject *MainWindow::firstKeyReceiver()
{
    QWidget *focus = focusWidget();
    return focus ? focus : this;
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    if ((watched == m_tree->viewport() || watched == m_moveToView->viewport()) &&
        (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove ||
         event->type() == QEvent::DragLeave || event->type() == QEvent::Drop))
        return dragEvent(watched, event);

    switch (event->type()) {
    case QEvent::KeyPress: {
        auto *key = static_cast<QKeyEvent *>(event);
        // A key press goes to the focus widget first and then up its parents while they ignore
        // it; a function key counts at the first of them only, however long its command runs.
        if (key->key() >= Qt::Key_F1 && key->key() <= Qt::Key_F12 && watched == firstKeyReceiver() &&
            !QApplication::activeModalWidget())
            m_form.functionKey(Qt::Key(key->key()), key->modifiers());
        break;
    }
    case QEvent::KeyRelease:
        if (watched == m_tree)
            m_form.trvScenery_KeyUp();
        break;
    case QEvent::MouseButtonPress:
        if (watched == m_tree->viewport()) {
            const auto *mouse = static_cast<QMouseEvent *>(event);
            m_pressPos = mouse->position().toPoint();
            m_form.trvScenery_MouseDown(m_model->nodeAt(m_tree->indexAt(m_pressPos)));
        }
        break;
    case QEvent::MouseMove:
        if (watched == m_tree->viewport()) {
            const auto *mouse = static_cast<QMouseEvent *>(event);
            if (!(mouse->buttons() & Qt::LeftButton) || !m_form.organiser().dragNode() ||
                !isSceneryKey(m_form.organiser().dragNode()->key()))
                break;
            // A scenery held with the left button is dragged, not used to sweep the selection.
            if ((mouse->position().toPoint() - m_pressPos).manhattanLength() >=
                    QApplication::startDragDistance() &&
                m_form.trvScenery_MouseMove(true))
                startDrag();
            return true;
        }
        break;
    case QEvent::FocusOut:
        if (watched == m_setCombo || watched == m_setCombo->lineEdit()) {
            const auto reason = static_cast<QFocusEvent *>(event)->reason();
            // The combo's own list and a switch to another program do not leave the field.
            if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason)
                m_form.cboScenerySet_LostFocus();
        }
        break;
    default:
        break;
    }
    return QMainWindow::eventFilter(watched, event);
}
