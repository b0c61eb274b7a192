#pragma once

#include "app/commandtable.h"

#include <QList>
#include <QMainWindow>
#include <QPointer>
#include <QTimer>

#include <array>

class frmScenery;
class QAction;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QRadioButton;
class QSplitter;
class QTabWidget;
class QToolBar;
class QTreeView;
class SplashView;
class TreeExpansion;
class TreeModel;
class TreeNode;

// The main window: the library tree, the set selector, the details tabs, the filter boxes, the
// menus, the toolbar and the status bar, bound to the window's logic. The view holds no state of
// its own beyond what Qt needs; every user event goes to the logic procedure of the same name and
// every logic signal refreshes the widgets it concerns, with the widgets' signals blocked so a
// refresh never reads as a user edit.
class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit MainWindow(frmScenery &form, QWidget *parent = nullptr);
    ~MainWindow() override;

    // One entry of a menu: its caption and the command it runs (None for a separator).
    struct MenuEntry
    {
        QString caption;
        Start::Command command = Start::Command::None;
    };
    struct MenuDefinition
    {
        QString title;
        QList<MenuEntry> entries;
    };
    // The menu bar as the program offers it, "&Level" to "&Help".
    static const QList<MenuDefinition> &menuDefinitions();
    // The command a menu caption runs: the caption without "&" matched against the command
    // table without regard to case, with the two entries whose captions differ from their rows'.
    static Start::Command commandForMenuCaption(const QString &caption);

    // One toolbar button; an empty key marks a separator.
    struct ToolButton
    {
        QString key;
        QString toolTip;
        Start::Command command = Start::Command::None;
    };
    static const QList<ToolButton> &toolButtons();

    // Twips per pixel of this screen (15 at 96 dots per inch).
    double twipsPerPixelX() const;
    double twipsPerPixelY() const;

    // Re-reads which commands can run and enables their entries and buttons.
    void refreshCommandStates();
    // Selects a node in the tree view as a click would (the logic shows it).
    void selectNode(TreeNode *node);

    QTreeView *treeView() const { return m_tree; }
    QTreeView *moveToView() const { return m_moveToView; }
    TreeModel *moveToModel() const { return m_moveToModel; }
    // The MIME type of a scenery dragged from the library tree.
    static QString dragMimeType();
    TreeModel *treeModel() const { return m_model; }
    QComboBox *setCombo() const { return m_setCombo; }
    QLabel *statusPanel(int panel) const { return m_panels.at(std::size_t(panel - 1)); }
    QLabel *warningPicture() const { return m_warning; }
    QLabel *freeSpaceLabel() const { return m_freeSpace; }
    QCheckBox *filterBox(int index) const { return m_filter.at(std::size_t(index)); }
    QToolBar *toolBar() const { return m_toolBar; }
    QTabWidget *tabs() const { return m_tabs; }
    QMenu *levelMenu() const { return m_levelMenu; }
    QMenu *sceneryMenu() const { return m_sceneryMenu; }
    QAction *addToSetAction() const { return m_addToSet; }
    QAction *removeFromSetAction() const { return m_removeFromSet; }
    // The command of a menu entry or toolbar button (None for anything else).
    static Start::Command commandOf(const QAction *action);
    QTimer &freeSpaceTimer() { return m_freeSpaceTimer; }
    SplashView *splashView() const { return m_splash; }
    // How long the window waits, once shown, to be activated before it ends the start-up anyway.
    static constexpr int ActivationWait = 3000;

protected:
    bool event(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildMenus();
    void buildToolBar();
    QWidget *buildTreePane();
    QWidget *buildRightPane();
    QWidget *buildMoveToPage();
    void buildStatusBar();
    void bindLogic();
    void fitMinimumSize();

    // The widget a key press of this window is delivered to first.
    QObject *firstKeyReceiver();
    // The window's first activation ends the start-up: the logic hides the splash then.
    void activated();
    void openPopupMenu(const QPoint &globalPos);
    void fillSetSubMenus();
    void handleResize();
    void applyPlacement();
    void applyLayout(int treeWidthTwips);

    void refreshCaption();
    void refreshStatus();
    void refreshSetList();
    void refreshFilters();
    void refreshTabs();
    void refreshFreeSpace();
    void onTreeSelection(TreeNode *node);
    void startDrag();
    bool dragEvent(QObject *watched, QEvent *event);

    frmScenery &m_form;
    TreeModel *m_model = nullptr;
    TreeExpansion *m_expansion = nullptr;
    SplashView *m_splash = nullptr;

    QSplitter *m_splitter = nullptr;
    QTreeView *m_tree = nullptr;
    QTreeView *m_moveToView = nullptr;
    TreeModel *m_moveToModel = nullptr;
    QPoint m_pressPos;
    std::array<QCheckBox *, 6> m_filter{};
    QComboBox *m_setCombo = nullptr;
    QPushButton *m_changeSim = nullptr;
    QLabel *m_freeSpace = nullptr;
    QTabWidget *m_tabs = nullptr;

    QMenu *m_levelMenu = nullptr;
    QMenu *m_sceneryMenu = nullptr;
    QAction *m_addToSet = nullptr;
    QAction *m_removeFromSet = nullptr;
    QList<QAction *> m_commandActions;
    QToolBar *m_toolBar = nullptr;

    std::array<QLabel *, 4> m_panels{};
    QLabel *m_warning = nullptr;

    QTimer m_freeSpaceTimer;
    QTimer m_resizeTimer;
    bool m_syncingSelection = false;
    bool m_unloaded = false;
    bool m_activated = false;
};
