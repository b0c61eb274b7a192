#include "app/tst_frmscenery_fixture.h"
#include "gui/app/mainwindow.h"
#include "gui/app/splashview.h"
#include "gui/tree/treemodel.h"
#include "settings/programsettings.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QSignalSpy>
#include <QStyleOptionViewItem>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QTreeView>
#include <QWindow>

#include <memory>

namespace {

QStringList texts(std::initializer_list<const char *> items)
{
    QStringList list;
    for (const char *item : items)
        list.append(QString::fromUtf8(item));
    return list;
}

const QString ExcludeArea = QStringLiteral("N47 30.00,W122 15.00,N47 00.00,W121 45.00");

// The library, the loaded window logic and its view, shown.
struct Window
{
    explicit Window(MainWindowFixture &fixture, bool activate = true)
    {
        const int simType = 1;
        // As the program does it: the view exists before the window loads, so it follows the load.
        fixture.writeFiles(simType);
        fixture.create();
        form = fixture.form.get();
        view = std::make_unique<MainWindow>(*form);
        form->Form_Load();
        view->show();
        QVERIFY(QTest::qWaitForWindowExposed(view.get()));
        if (activate)
            form->Form_Activate();
    }
    ~Window()
    {
        // Closing is the save question; these tests leave without it.
        view->hide();
    }

    frmScenery *form = nullptr;
    std::unique_ptr<MainWindow> view;
};

QString storedSetting(MainWindowFixture &fixture, const QString &name)
{
    return fixture.env.settings->read(SettingsStore::Root::Machine, ProgramSettings::Key, name);
}

// The texts of a level's children as the view's model shows them.
QStringList shownChildren(const MainWindow &view, const QString &levelKey, const frmScenery &form)
{
    const TreeModel *model = view.treeModel();
    const QModelIndex level = model->indexOf(form.trvScenery().node(levelKey));
    QStringList texts;
    for (int row = 0; row < model->rowCount(level); ++row)
        texts.append(model->index(row, 0, level).data().toString());
    return texts;
}

// Where the check box of a row is drawn.
QPoint checkBoxPoint(QTreeView *view, const QModelIndex &index)
{
    view->scrollTo(index);
    QStyleOptionViewItem option;
    option.initFrom(view);
    option.rect = view->visualRect(index);
    option.features = QStyleOptionViewItem::HasCheckIndicator | QStyleOptionViewItem::HasDisplay;
    option.text = index.data().toString();
    option.widget = view;
    return view->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, view).center();
}

QAction *menuAction(const MainWindow &view, const QString &menuTitle, const QString &entry)
{
    for (QAction *menu : view.menuBar()->actions()) {
        if (menu->text() != menuTitle || !menu->menu())
            continue;
        for (QAction *action : menu->menu()->actions()) {
            if (action->text() == entry)
                return action;
        }
    }
    return nullptr;
}

QStringList entriesOf(QMenu *menu)
{
    QStringList entries;
    for (QAction *action : menu->actions())
        entries.append(action->isSeparator() ? QStringLiteral("-") : action->text());
    return entries;
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void checkBoxClickRecounts_data();
    void checkBoxClickRecounts();
    void warningPicture_data();
    void warningPicture();
    void filterBoxesRebuildTree_data();
    void filterBoxesRebuildTree();
    void functionKeys_data();
    void functionKeys();
    void commandRunsOnceFromEachPlace_data();
    void commandRunsOnceFromEachPlace();
    void menuBarAsOffered_data();
    void menuBarAsOffered();
    void menuEntriesRunTheirRows_data();
    void menuEntriesRunTheirRows();
    void toolbar();
    void detailsFollowTheClickedNode();
    void excludeMarkedRed_data();
    void excludeMarkedRed();
    void setComboTypedName();
    void dropMovesScenery_data();
    void dropMovesScenery();
    void mouseDragMovesScenery();
    void closingAsksOnce();
    void resizeStoresPlacement();
    void storedPlacementRestored_data();
    void storedPlacementRestored();
    void splashFollowsLogic_data();
    void splashFollowsLogic();
    void authorCompletion();
    void popupMenuShowsSetEntries();
};

// ---- Check boxes and counts ----------------------------------------------------------------

void TestMainWindow::checkBoxClickRecounts_data()
{
    QTest::addColumn<QString>("clicked");
    QTest::addColumn<QString>("expected");

    QTest::newRow("tick a scenery") << "SceneryNew\\Bravo"
                                    << "Sceneries in Set: 2 / 3";
    QTest::newRow("clear a member") << "SceneryNew\\Alpha"
                                    << "Sceneries in Set: 0 / 3";
    QTest::newRow("tick the level") << "LevelNew"
                                    << "Sceneries in Set: 3 / 3";
}

void TestMainWindow::checkBoxClickRecounts()
{
    QFETCH(QString, clicked);
    QFETCH(QString, expected);

    MainWindowFixture fixture;
    fixture.addScenery(QStringLiteral("Alpha"));
    fixture.addScenery(QStringLiteral("Bravo"));
    fixture.addScenery(QStringLiteral("Charlie"));
    fixture.addCfgArea(QStringLiteral("Alpha"));
    Window window(fixture);
    QCOMPARE(window.view->statusPanel(4)->text(), QStringLiteral("Sceneries in Set: 1 / 3"));
    QCOMPARE(window.view->statusPanel(3)->text(), QStringLiteral("Sceneries: 3"));

    QTreeView *tree = window.view->treeView();
    const QModelIndex index = window.view->treeModel()->indexOf(fixture.node(clicked));
    QVERIFY(index.isValid());
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, checkBoxPoint(tree, index));

    QCOMPARE(window.view->statusPanel(4)->text(), expected);
    QCOMPARE(window.view->statusPanel(4)->text(), window.form->stbStatus().panels[3]);
}

void TestMainWindow::warningPicture_data()
{
    QTest::addColumn<int>("members");
    QTest::addColumn<bool>("warning");

    QTest::newRow("332 fit into one Scenery.cfg") << 332 << false;
    QTest::newRow("333 do not") << 333 << true;
}

void TestMainWindow::warningPicture()
{
    QFETCH(int, members);
    QFETCH(bool, warning);

    MainWindowFixture fixture;
    for (int i = 0; i < members; ++i) {
        const QString title = QStringLiteral("Area %1").arg(i, 3, 10, QLatin1Char('0'));
        fixture.addScenery(title);
        fixture.addCfgArea(title);
    }
    Window window(fixture);
    QCOMPARE(window.view->statusPanel(4)->text(), QStringLiteral("Sceneries in Set: %1 / %1").arg(members));
    QCOMPARE(window.view->warningPicture()->isVisibleTo(window.view.get()), warning);
}

// ---- Filter boxes --------------------------------------------------------------------------

void TestMainWindow::filterBoxesRebuildTree_data()
{
    QTest::addColumn<int>("box");
    QTest::addColumn<QStringList>("shown");
    QTest::addColumn<QString>("stored");

    QTest::newRow("FS95") << 0 << texts({"Any"}) << "1";
    QTest::newRow("FS2K2") << 3 << texts({"Jet", "Any", "Both"}) << "8";
    QTest::newRow("CFS2") << 5 << texts({"Prop", "Any", "Both"}) << "32";
}

void TestMainWindow::filterBoxesRebuildTree()
{
    QFETCH(int, box);
    QFETCH(QStringList, shown);
    QFETCH(QString, stored);

    MainWindowFixture fixture;
    MainWindowFixture::Scenery s;
    const auto add = [&](const char *title, qint16 flySim, const QString &previous) {
        s.title = QString::fromLatin1(title);
        s.flySim = flySim;
        s.previousKey = previous;
        return fixture.addScenery(s);
    };
    QString previous = add("Jet", 8, QString());
    previous = add("Prop", 32, previous);
    previous = add("Any", 0, previous);
    add("Both", 40, previous);
    Window window(fixture);
    const QStringList all = texts({"Jet", "Prop", "Any", "Both"});
    QCOMPARE(shownChildren(*window.view, QStringLiteral("LevelNew"), *window.form), all);

    QCheckBox *filter = window.view->filterBox(box);
    QCOMPARE(filter->toolTip(), QStringLiteral("Filter scenery list"));
    QTest::mouseClick(filter, Qt::LeftButton);
    QVERIFY(filter->isChecked());
    QCOMPARE(shownChildren(*window.view, QStringLiteral("LevelNew"), *window.form), shown);
    QCOMPARE(storedSetting(fixture, QStringLiteral("Filter")), stored);

    // Clearing the box shows everything again, in the order it had.
    QTest::mouseClick(filter, Qt::LeftButton);
    QCOMPARE(shownChildren(*window.view, QStringLiteral("LevelNew"), *window.form), all);
    QCOMPARE(storedSetting(fixture, QStringLiteral("Filter")), QStringLiteral("0"));
}

// ---- Function keys -------------------------------------------------------------------------

void TestMainWindow::functionKeys_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("focus");
    QTest::addColumn<bool>("moved");

    QTest::newRow("F3 in the tree") << int(Qt::Key_F3) << int(Qt::NoModifier) << "trvScenery" << true;
    QTest::newRow("F3 in a text field") << int(Qt::Key_F3) << int(Qt::NoModifier) << "txtComment" << true;
    QTest::newRow("Shift+F3") << int(Qt::Key_F3) << int(Qt::ShiftModifier) << "trvScenery" << false;
    QTest::newRow("Ctrl+F3") << int(Qt::Key_F3) << int(Qt::ControlModifier) << "trvScenery" << false;
    QTest::newRow("Alt+F3") << int(Qt::Key_F3) << int(Qt::AltModifier) << "trvScenery" << false;
    QTest::newRow("unbound F4") << int(Qt::Key_F4) << int(Qt::NoModifier) << "trvScenery" << false;
}

void TestMainWindow::functionKeys()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QString, focus);
    QFETCH(bool, moved);

    MainWindowFixture fixture;
    MainWindowFixture::Scenery s;
    s.title = QStringLiteral("Alpha");
    const QString alpha = fixture.addScenery(s);
    s.title = QStringLiteral("Bravo");
    s.previousKey = alpha;
    const QString bravo = fixture.addScenery(s);
    Window window(fixture);
    Start::FunctionKeyTable keys;
    keys[2] = QStringLiteral("Move up");
    window.form->setFunctionKeys(keys);

    window.view->selectNode(fixture.node(bravo));
    QCOMPARE(shownChildren(*window.view, QStringLiteral("LevelNew"), *window.form),
             (texts({"Alpha", "Bravo"})));

    QWidget *target = window.view->findChild<QWidget *>(focus);
    QVERIFY(target);
    target->setFocus();
    QTest::keyClick(target, Qt::Key(key), Qt::KeyboardModifiers(modifiers));

    const QStringList expected = moved ? texts({"Bravo", "Alpha"}) : texts({"Alpha", "Bravo"});
    QCOMPARE(shownChildren(*window.view, QStringLiteral("LevelNew"), *window.form), expected);
    // The moved node stays the selected one in the view.
    QCOMPARE(window.view->treeModel()->nodeAt(window.view->treeView()->currentIndex()), fixture.node(bravo));
}

void TestMainWindow::commandRunsOnceFromEachPlace_data()
{
    QTest::addColumn<QString>("place");

    QTest::newRow("menu entry") << "menu";
    QTest::newRow("toolbar button") << "toolbar";
    QTest::newRow("function key") << "key";
}

void TestMainWindow::commandRunsOnceFromEachPlace()
{
    QFETCH(QString, place);

    MainWindowFixture fixture;
    fixture.addScenery(QStringLiteral("Alpha"));
    Window window(fixture);
    Start::FunctionKeyTable keys;
    keys[6] = QStringLiteral("Add Set");
    window.form->setFunctionKeys(keys);

    // A second run would ask again, which the script does not allow.
    fixture.env.ui.expectInput(QStringLiteral("Insert a new Set name:"), QStringLiteral("Create new set"),
                               QStringLiteral("Weekend"));
    if (place == QStringLiteral("menu")) {
        menuAction(*window.view, QStringLiteral("Se&t"), QStringLiteral("&Add Set"))->trigger();
    } else if (place == QStringLiteral("toolbar")) {
        QAction *button = window.view->toolBar()->findChild<QAction *>(QStringLiteral("btnSetAdd"));
        QVERIFY(button);
        QTest::mouseClick(window.view->toolBar()->widgetForAction(button), Qt::LeftButton);
    } else {
        window.view->treeView()->setFocus();
        QTest::keyClick(window.view->treeView(), Qt::Key_F7);
    }
    QVERIFY(fixture.env.ui.allShown());
    QVERIFY(fixture.set(QStringLiteral("Weekend")));
    QCOMPARE(window.view->setCombo()->currentText(), QStringLiteral("Weekend"));
    QCOMPARE(window.view->setCombo()->findText(QStringLiteral("Weekend")),
             window.view->setCombo()->count() - 1);
}

// ---- Menus and toolbar ---------------------------------------------------------------------

void TestMainWindow::menuBarAsOffered_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QStringList>("entries");

    QTest::newRow("Level") << "&Level"
                           << texts({"&Add Level", "&Remove Level", "Re&name Level", "S&ort Level Ascending",
                                     "Sort Level &Descending", "&Move to level...", "&Search..."});
    QTest::newRow("Scenery") << "&Scenery"
                             << texts({"&Add Scenery", "&Remove Scenery", "&Undo remove Scenery",
                                       "Re&name Scenery", "&Move to Level...", "Move Scenery on &Harddrive",
                                       "&Search...", "&Test local paths", "-", "Absolute scenery paths",
                                       "Current to absolute scenery path", "Add to Set...",
                                       "Remove from Set..."});
    QTest::newRow("Set") << "Se&t"
                         << texts({"&Add Set", "&Remove Set", "R&ename Set", "-",
                                   "&Find sceneries without set", "&Copy Current to displayed Set"});
    QTest::newRow("Scenery.cfg") << "S&cenery.cfg"
                                 << texts({"&Update from Scenery.cfg", "&Create Scenery.cfg"});
    QTest::newRow("Backup") << "&Backup"
                            << texts({"&Make Backup", "&Install Backup", "Install V1.5 Backup",
                                      "&Delete Backup", "-", "&Backup file list"});
    QTest::newRow("Wizard") << "&Wizard"
                            << texts({"&Prepare CDRom", "-", "Create &new file list", "Create &FILE_ID.DIZ",
                                      "Create Scenery.&zip file", "-", "&Global texture management", "-",
                                      "&Scenery list report"});
    QTest::newRow("Preferences") << "&Preferences"
                                 << texts({"&Basic Folders", "&Cache", "&Select sim type", "&Define hotkey"});
    QTest::newRow("Help") << "&Help" << texts({"&Documentation", "&Homepage", "&Forum", "&Info"});
}

void TestMainWindow::menuBarAsOffered()
{
    QFETCH(QString, title);
    QFETCH(QStringList, entries);

    MainWindowFixture fixture;
    Window window(fixture);
    QStringList titles;
    for (QAction *menu : window.view->menuBar()->actions())
        titles.append(menu->text());
    QCOMPARE(titles, (texts({"&Level", "&Scenery", "Se&t", "S&cenery.cfg", "&Backup", "&Wizard",
                             "&Preferences", "&Help"})));
    const qsizetype position = titles.indexOf(title);
    QVERIFY(position >= 0);
    QCOMPARE(entriesOf(window.view->menuBar()->actions().at(position)->menu()), entries);

    // The set sub-menus belong to the pop-up only.
    QVERIFY(!window.view->addToSetAction()->isVisible());
    QVERIFY(!window.view->removeFromSetAction()->isVisible());
    QCOMPARE(window.view->levelMenu()->title(), QStringLiteral("&Level"));
    QCOMPARE(window.view->sceneryMenu()->title(), QStringLiteral("&Scenery"));
}

void TestMainWindow::menuEntriesRunTheirRows_data()
{
    QTest::addColumn<QString>("menu");
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("command");

    // Captions that differ from their command's in case or wording.
    QTest::newRow("create scenery.cfg") << "S&cenery.cfg"
                                        << "&Create Scenery.cfg"
                                        << "Create Scenery";
    QTest::newRow("install V1.5") << "&Backup"
                                  << "Install V1.5 Backup"
                                  << "Install 1.5 Backup";
    QTest::newRow("move to level, lower case") << "&Level"
                                               << "&Move to level..."
                                               << "Move to Level...";
    QTest::newRow("move to level") << "&Scenery"
                                   << "&Move to Level..."
                                   << "Move to Level...";
    QTest::newRow("undo remove") << "&Scenery"
                                 << "&Undo remove Scenery"
                                 << "Undo Remove Scenery";
    QTest::newRow("copy current") << "Se&t"
                                  << "&Copy Current to displayed Set"
                                  << "Copy Current to Displayed Set";
    QTest::newRow("file list") << "&Wizard"
                               << "Create &new file list"
                               << "Create New File List";
    QTest::newRow("zip file") << "&Wizard"
                              << "Create Scenery.&zip file"
                              << "Create Scenery.zip File";
    QTest::newRow("hotkey") << "&Preferences"
                            << "&Define hotkey"
                            << "Define Hotkey";
}

void TestMainWindow::menuEntriesRunTheirRows()
{
    QFETCH(QString, menu);
    QFETCH(QString, entry);
    QFETCH(QString, command);

    MainWindowFixture fixture;
    Window window(fixture);
    const QAction *action = menuAction(*window.view, menu, entry);
    QVERIFY(action);
    const int row = Start::commandRow(command);
    QVERIFY(row > 0);
    QCOMPARE(MainWindow::commandRowOf(action), row);
    QCOMPARE(action->isEnabled(), window.form->isCommandAvailable(row));

    // Every entry of every menu runs some command.
    for (QAction *title : window.view->menuBar()->actions()) {
        for (QAction *item : title->menu()->actions()) {
            if (!item->isSeparator() && !item->menu())
                QVERIFY2(MainWindow::commandRowOf(item) > 0, qPrintable(item->text()));
        }
    }
}

void TestMainWindow::toolbar()
{
    MainWindowFixture fixture;
    Window window(fixture);
    const QList<QAction *> actions = window.view->toolBar()->actions();
    QCOMPARE(actions.size(), 33);

    const QStringList expected = texts({"Move level or scenery to the first place",
                                        "Move level or scenery one step upwards",
                                        "Move level or scenery one step downwards",
                                        "Move level or scenery to the last place",
                                        "-",
                                        "Create new level",
                                        "Remove selected level",
                                        "Rename the level",
                                        "Sort level ascending",
                                        "Sort level descending",
                                        "-",
                                        "Move to level...",
                                        "Search a scenery or level",
                                        "-",
                                        "Create new scenery entry",
                                        "Remove selected scenery",
                                        "Undo remove scenery",
                                        "Rename selected scenery",
                                        "Move scenery on harddrive",
                                        "Test local paths",
                                        "-",
                                        "Create new set",
                                        "Delete selected set",
                                        "Rename selected set",
                                        "Find sceneries without sets",
                                        "Create new set from current set",
                                        "-",
                                        "Update from scenery.cfg",
                                        "Create scenery.cfg",
                                        "-",
                                        "Make new backup",
                                        "Install backup",
                                        "Delete backup"});
    QStringList tips;
    for (const QAction *action : actions)
        tips.append(action->isSeparator() ? QStringLiteral("-") : action->toolTip());
    QCOMPARE(tips, expected);

    for (const QAction *action : actions) {
        if (action->isSeparator())
            continue;
        QVERIFY2(!action->icon().isNull(), qPrintable(action->objectName()));
        QCOMPARE(action->isEnabled(), window.form->isCommandAvailable(MainWindow::commandRowOf(action)));
    }
    // The four move buttons run the in-level moves.
    QCOMPARE(MainWindow::commandRowOf(actions.at(0)), Start::commandRow(QStringLiteral("Move top")));
    QCOMPARE(MainWindow::commandRowOf(actions.at(3)), Start::commandRow(QStringLiteral("Move bottom")));
    QCOMPARE(MainWindow::commandRowOf(actions.at(28)), Start::commandRow(QStringLiteral("Create Scenery")));
}

// ---- Details -------------------------------------------------------------------------------

void TestMainWindow::detailsFollowTheClickedNode()
{
    MainWindowFixture fixture;
    MainWindowFixture::Scenery s;
    s.title = QStringLiteral("Alpha");
    s.author = QStringLiteral("Jane Roe");
    s.layer = 5;
    s.salesType = 3;
    const QString alpha = fixture.addScenery(s);
    s.title = QStringLiteral("Bravo");
    s.previousKey = alpha;
    s.layer = 1234;
    s.flySim = 40;
    const QString bravo = fixture.addScenery(s);
    Window window(fixture);
    QVERIFY(!window.view->findChild<QWidget *>(QStringLiteral("fraScenery"))->isEnabled());

    QTreeView *tree = window.view->treeView();
    const QModelIndex index = window.view->treeModel()->indexOf(fixture.node(bravo));
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualRect(index).center());

    const auto text = [&window](const char *name) {
        return window.view->findChild<QLineEdit *>(QString::fromLatin1(name))->text();
    };
    QVERIFY(window.view->findChild<QWidget *>(QStringLiteral("fraScenery"))->isEnabled());
    QCOMPARE(text("txtTitle"), QStringLiteral("Bravo"));
    QCOMPARE(text("txtLayer"), QStringLiteral("234"));
    QCOMPARE(window.view->findChild<QComboBox *>(QStringLiteral("cboSalesType"))->currentText(),
             QStringLiteral("Payware"));
    QStringList ticked;
    for (int i = 0; i < 6; ++i) {
        const auto *box = window.view->findChild<QCheckBox *>(QStringLiteral("chkType(%1)").arg(i));
        if (box->isChecked())
            ticked.append(box->text());
    }
    QCOMPARE(ticked, (texts({"FS2K2", "CFS2"})));
    QCOMPARE(window.view->statusPanel(1)->text(), QStringLiteral("Bravo"));

    // Typing goes straight into the record.
    auto *version = window.view->findChild<QLineEdit *>(QStringLiteral("txtVersion"));
    version->setFocus();
    QTest::keyClicks(version, QStringLiteral("2.1"));
    QCOMPARE(fixture.manager->colScenery.item(bravo)->Version, QStringLiteral("2.1"));
    // A sim box written by the user changes FlySim.
    QTest::mouseClick(window.view->findChild<QCheckBox *>(QStringLiteral("chkType(0)")), Qt::LeftButton);
    QCOMPARE(fixture.manager->colScenery.item(bravo)->FlySim, qint16(41));

    // The other scenery shows its own values, and the first keeps what was typed.
    window.view->selectNode(fixture.node(alpha));
    QCOMPARE(text("txtTitle"), QStringLiteral("Alpha"));
    QCOMPARE(text("txtLayer"), QStringLiteral("005"));
    QCOMPARE(text("txtVersion"), QString());
    QCOMPARE(window.view->findChild<QComboBox *>(QStringLiteral("txtAuthor"))->currentText(),
             QStringLiteral("Jane Roe"));
    QCOMPARE(fixture.manager->colScenery.item(bravo)->Version, QStringLiteral("2.1"));
}

void TestMainWindow::excludeMarkedRed_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("red");

    QTest::newRow("not an area") << "N47 30.00" << true;
    QTest::newRow("an area") << ExcludeArea + QStringLiteral(",objects") << false;
}

void TestMainWindow::excludeMarkedRed()
{
    QFETCH(QString, typed);
    QFETCH(bool, red);

    MainWindowFixture fixture;
    const QString key = fixture.addScenery(QStringLiteral("Alpha"));
    Window window(fixture);
    window.view->selectNode(fixture.node(key));
    window.view->tabs()->setCurrentIndex(frmScenery::TabExcFlat);
    QCOMPARE(window.form->tbsScenery().selected, int(frmScenery::TabExcFlat));

    auto *exclude = window.view->findChild<QLineEdit *>(QStringLiteral("txtExclude"));
    exclude->setFocus();
    QTest::keyClicks(exclude, typed);
    QCOMPARE(exclude->palette().color(QPalette::Text) == QColor(255, 0, 0), red);
    // Invalid text is kept all the same.
    QCOMPARE(fixture.manager->colScenery.item(key)->Exclude, typed);

    // Emptying the box takes the mark away.
    exclude->selectAll();
    QTest::keyClick(exclude, Qt::Key_Backspace);
    QVERIFY(exclude->palette().color(QPalette::Text) != QColor(255, 0, 0));
}

void TestMainWindow::setComboTypedName()
{
    MainWindowFixture fixture;
    fixture.addScenery(QStringLiteral("Alpha"));
    fixture.addScenery(QStringLiteral("Bravo"));
    fixture.addSet(QStringLiteral("Evening"), 1, {QStringLiteral("Bravo")});
    Window window(fixture);
    QComboBox *combo = window.view->setCombo();
    QCOMPARE(combo->currentText(), QStringLiteral("(Current)"));

    // Typing an existing name and Enter shows that set on the check boxes.
    combo->setFocus();
    combo->lineEdit()->selectAll();
    QTest::keyClicks(combo->lineEdit(), QStringLiteral("Evening"));
    QTest::keyClick(combo->lineEdit(), Qt::Key_Return);
    QCOMPARE(window.form->displayedSet()->Key, QStringLiteral("Evening"));
    QCOMPARE(window.view->statusPanel(4)->text(), QStringLiteral("Sceneries in Set: 1 / 2"));
    const TreeModel *model = window.view->treeModel();
    QCOMPARE(
        model->indexOf(fixture.node(QStringLiteral("SceneryNew\\Bravo"))).data(Qt::CheckStateRole).toInt(),
        int(Qt::Checked));
    QCOMPARE(
        model->indexOf(fixture.node(QStringLiteral("SceneryNew\\Alpha"))).data(Qt::CheckStateRole).toInt(),
        int(Qt::Unchecked));
    // Enter does not add the typed text to the list a second time.
    QCOMPARE(combo->count(), 2);

    // Picking "(Current)" from the list switches back.
    combo->activated(combo->findText(QStringLiteral("(Current)")));
    QCOMPARE(window.form->displayedSet()->Key, QStringLiteral("(Current)"));
}

// ---- Dragging a scenery --------------------------------------------------------------------

void TestMainWindow::dropMovesScenery_data()
{
    QTest::addColumn<bool>("onMoveToPage");
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("highlight");
    QTest::addColumn<QString>("expectedKey");

    QTest::newRow("library tree, onto a level") << false << "LevelEurope"
                                                << "LevelEurope"
                                                << "SceneryEurope\\Alpha";
    QTest::newRow("library tree, onto a scenery") << false << "SceneryEurope\\Berlin"
                                                  << ""
                                                  << "SceneryNew\\Alpha";
    QTest::newRow("Move to page, onto a level") << true << "LevelEurope"
                                                << "LevelEurope"
                                                << "SceneryEurope\\Alpha";
}

void TestMainWindow::dropMovesScenery()
{
    QFETCH(bool, onMoveToPage);
    QFETCH(QString, target);
    QFETCH(QString, highlight);
    QFETCH(QString, expectedKey);

    MainWindowFixture fixture;
    fixture.addLevel(QStringLiteral("LevelEurope"), QStringLiteral("Europe"));
    const QString alpha = fixture.addScenery(QStringLiteral("Alpha"));
    fixture.addScenery(QStringLiteral("Berlin"), QStringLiteral("LevelEurope"));
    Window window(fixture);

    QTreeView *view = window.view->treeView();
    TreeModel *model = window.view->treeModel();
    TreeNode *targetNode = fixture.node(target);
    if (onMoveToPage) {
        window.view->tabs()->setCurrentIndex(frmScenery::TabMoveTo);
        view = window.view->moveToView();
        model = window.view->moveToModel();
        targetNode = window.form->trvMoveTo().node(target);
    }
    QVERIFY(targetNode);

    // The user presses on Alpha and starts to drag it.
    window.form->trvScenery_MouseDown(fixture.node(alpha));
    QVERIFY(window.form->trvScenery_MouseMove(true));

    QMimeData data;
    data.setData(MainWindow::dragMimeType(), alpha.toUtf8());
    const QModelIndex index = model->indexOf(targetNode);
    view->scrollTo(index);
    const QPoint at = view->visualRect(index).center();
    QDragEnterEvent enter(at, Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view->viewport(), &enter);
    QVERIFY(enter.isAccepted());
    QDragMoveEvent move(at, Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view->viewport(), &move);
    QCOMPARE(model->dropHighlight(), highlight);
    QDropEvent drop(QPointF(at), Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view->viewport(), &drop);

    QVERIFY2(fixture.node(expectedKey), qPrintable(expectedKey));
    QCOMPARE(fixture.node(expectedKey)->text(), QStringLiteral("Alpha"));
    QVERIFY(!window.form->dragging());
    QCOMPARE(model->dropHighlight(), QString());
    // The view shows the scenery where the logic put it.
    const QModelIndex shown = window.view->treeModel()->indexOf(fixture.node(expectedKey));
    QCOMPARE(shown.parent().data(TreeModel::KeyRole).toString(), LibraryTree::getParentKey(expectedKey));
}

// The whole gesture with the mouse: press on a scenery, move past the drag distance (the drag
// starts and runs its own loop), move over a level and let go there.
void TestMainWindow::mouseDragMovesScenery()
{
    MainWindowFixture fixture;
    fixture.addLevel(QStringLiteral("LevelEurope"), QStringLiteral("Europe"));
    const QString alpha = fixture.addScenery(QStringLiteral("Alpha"));
    fixture.addScenery(QStringLiteral("Berlin"), QStringLiteral("LevelEurope"));
    Window window(fixture);

    QTreeView *view = window.view->treeView();
    QWidget *viewport = view->viewport();
    const auto centre = [&](const QString &key) {
        return view->visualRect(window.view->treeModel()->indexOf(fixture.node(key))).center();
    };
    const QPoint from = centre(alpha);
    const QPoint to = centre(QStringLiteral("LevelEurope"));

    bool dropped = false;
    // The drag's loop runs inside the move below and listens to the window system, so the rest
    // of the gesture arrives at the top-level window from the queue.
    QWindow *top = window.view->windowHandle();
    const QPoint target = viewport->mapTo(window.view.get(), to);
    QTimer::singleShot(50, viewport, [&] {
        QTest::mouseMove(top, target);
        QTest::mouseMove(top, target + QPoint(1, 0));
        QTest::mouseRelease(top, Qt::LeftButton, Qt::NoModifier, target + QPoint(1, 0));
        dropped = true;
    });
    QTest::mousePress(viewport, Qt::LeftButton, Qt::NoModifier, from);
    QCOMPARE(window.form->dragNode(), fixture.node(alpha));
    QMouseEvent move(QEvent::MouseMove, QPointF(from + QPoint(0, 3 * QApplication::startDragDistance())),
                     viewport->mapToGlobal(QPointF(from)), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &move);
    QTRY_VERIFY(dropped);

    const QString moved = QStringLiteral("SceneryEurope\\Alpha");
    QTRY_VERIFY2(fixture.node(moved), "the scenery was not moved onto the level");
    QVERIFY(!fixture.node(alpha));
    QVERIFY(fixture.form->manager().colScenery.contains(moved));
    QVERIFY(!window.form->dragging());
}

void TestMainWindow::closingAsksOnce()
{
    MainWindowFixture fixture;
    fixture.addScenery(QStringLiteral("Alpha"));
    Window window(fixture);
    QSignalSpy unloaded(window.form, &frmScenery::unloaded);
    fixture.env.ui.expectMessage(QStringLiteral("Do you want to save the changes to the database?"),
                                 QStringLiteral("Update Database"), UiPort::Answer::No);
    window.view->close();
    window.view->close();
    QVERIFY(fixture.env.ui.allShown());
    QCOMPARE(unloaded.count(), 1);
}

void TestMainWindow::resizeStoresPlacement()
{
    MainWindowFixture fixture;
    Window window(fixture);
    window.view->resize(1000, 700);
    const double twips = window.view->twipsPerPixelX();
    const QString expected = QString::number(qRound(window.view->width() * twips));
    QTRY_COMPARE(storedSetting(fixture, QStringLiteral("Form.Width")), expected);
    QCOMPARE(storedSetting(fixture, QStringLiteral("Form.WindowState")), QStringLiteral("0"));
}

void TestMainWindow::storedPlacementRestored_data()
{
    QTest::addColumn<QString>("width");
    QTest::addColumn<QString>("height");
    QTest::addColumn<QString>("left");
    QTest::addColumn<QString>("top");
    QTest::addColumn<QRect>("expected"); // in twips

    QTest::newRow("size") << "15000"
                          << "9000"
                          << "0"
                          << "0" << QRect(0, 0, 15000, 9000);
    QTest::newRow("place") << "15000"
                           << "9000"
                           << "1500"
                           << "750" << QRect(1500, 750, 15000, 9000);
}

void TestMainWindow::storedPlacementRestored()
{
    QFETCH(QString, width);
    QFETCH(QString, height);
    QFETCH(QString, left);
    QFETCH(QString, top);
    QFETCH(QRect, expected);

    MainWindowFixture fixture;
    const auto store = [&fixture](const char *name, const QString &value) {
        fixture.env.settings->write(SettingsStore::Root::Machine, ProgramSettings::Key,
                                    QString::fromLatin1(name), value);
    };
    store("Form.Width", width);
    store("Form.Height", height);
    store("Form.Left", left);
    store("Form.Top", top);
    store("Form.WindowState", QStringLiteral("0"));
    Window window(fixture);
    const double x = window.view->twipsPerPixelX();
    const double y = window.view->twipsPerPixelY();
    QCOMPARE(window.view->size(), QSize(qRound(expected.width() / x), qRound(expected.height() / y)));
    QCOMPARE(window.view->pos(), QPoint(qRound(expected.left() / x), qRound(expected.top() / y)));
}

void TestMainWindow::splashFollowsLogic_data()
{
    QTest::addColumn<QString>("ending");

    QTest::newRow("main window activated") << "activate";
    QTest::newRow("click on the splash") << "click";
    QTest::newRow("key pressed in the splash") << "key";
}

void TestMainWindow::splashFollowsLogic()
{
    QFETCH(QString, ending);

    MainWindowFixture fixture;
    Window window(fixture, false);
    SplashView *splash = window.view->splashView();
    // Loading showed it, with the build label filled and the close label hidden.
    QVERIFY(splash->isVisible());
    QCOMPARE(splash->findChild<QLabel *>(QStringLiteral("Label1"))->text(), QStringLiteral("Lumivale V1.6"));
    QVERIFY(splash->findChild<QLabel *>(QStringLiteral("lblBuild"))
                ->text()
                .startsWith(QStringLiteral("Build: 1.6.")));
    QVERIFY(!splash->findChild<QLabel *>(QStringLiteral("lblClose"))->isVisibleTo(splash));

    if (ending == QStringLiteral("activate"))
        window.form->Form_Activate();
    else if (ending == QStringLiteral("click"))
        QTest::mouseClick(splash->findChild<QLabel *>(QStringLiteral("Label2")), Qt::LeftButton);
    else
        QTest::keyClick(splash, Qt::Key_Space);
    QVERIFY(!splash->isVisible());
    QVERIFY(!window.form->splash().isVisible());
}

void TestMainWindow::authorCompletion()
{
    MainWindowFixture fixture;
    MainWindowFixture::Scenery s;
    s.title = QStringLiteral("Alpha");
    s.author = QStringLiteral("Jane Roe");
    const QString alpha = fixture.addScenery(s);
    s.title = QStringLiteral("Bravo");
    s.author.clear();
    s.previousKey = alpha;
    const QString bravo = fixture.addScenery(s);
    Window window(fixture);
    window.view->selectNode(fixture.node(bravo));

    auto *author = window.view->findChild<QComboBox *>(QStringLiteral("txtAuthor"));
    QLineEdit *edit = author->lineEdit();
    edit->setFocus();
    QTest::keyClicks(edit, QStringLiteral("ja"));
    // The listed spelling is taken, the caret stays after what was typed.
    QCOMPARE(edit->text(), QStringLiteral("Jane Roe"));
    QCOMPARE(edit->cursorPosition(), 2);
    QCOMPARE(fixture.manager->colScenery.item(bravo)->Author, QStringLiteral("Jane Roe"));

    // Arrow keys do not complete: the text is cut back only by typing.
    QTest::keyClick(edit, Qt::Key_Right);
    QCOMPARE(edit->text(), QStringLiteral("Jane Roe"));
}

void TestMainWindow::popupMenuShowsSetEntries()
{
    MainWindowFixture fixture;
    const QString alpha = fixture.addScenery(QStringLiteral("Alpha"));
    fixture.addSet(QStringLiteral("Evening"), 1, {QStringLiteral("Alpha")});
    fixture.addSet(QStringLiteral("Weekend"), 1, {});
    Window window(fixture);
    window.view->selectNode(fixture.node(alpha));

    QStringList added;
    QStringList removed;
    bool subMenusShown = false;
    QTimer::singleShot(0, this, [&] {
        QWidget *popup = QApplication::activePopupWidget();
        QVERIFY(popup == window.view->sceneryMenu());
        subMenusShown =
            window.view->addToSetAction()->isVisible() && window.view->removeFromSetAction()->isVisible();
        for (QAction *action : window.view->addToSetAction()->menu()->actions())
            added.append(action->text());
        for (QAction *action : window.view->removeFromSetAction()->menu()->actions())
            removed.append(action->text());
        popup->close();
    });
    QTreeView *tree = window.view->treeView();
    const QPoint at = tree->visualRect(window.view->treeModel()->indexOf(fixture.node(alpha))).center();
    emit tree->customContextMenuRequested(at);

    QVERIFY(subMenusShown);
    QCOMPARE(added, QStringList{QStringLiteral("Weekend")});
    QCOMPARE(removed, QStringList{QStringLiteral("Evening")});
    // Closed again, the menu bar's menu has no set entries.
    QVERIFY(!window.view->addToSetAction()->isVisible());
    QVERIFY(!window.form->setSubMenusVisible());
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
