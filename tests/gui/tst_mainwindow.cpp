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

// The library, the loaded window logic and its view, shown. As the program does it, the view
// exists before the window loads, so it follows the load.
struct Window
{
    explicit Window(MainWindowFixture &f, bool activate = true) : fixture(f)
    {
        f.writeFiles(1);
        f.create();
        form = f.form.get();
        view = std::make_unique<MainWindow>(*form);
        form->Form_Load();
        view->show();
        QVERIFY(QTest::qWaitForWindowExposed(view.get()));
        if (activate)
            form->Form_Activate();
    }
    // Closing is the save question; the tests that do not close leave without it.
    ~Window() { view->hide(); }

    QModelIndex index(const QString &key) const { return view->treeModel()->indexOf(fixture.node(key)); }
    // The texts of a level's children as the view's model shows them, "Alpha,Bravo".
    QString children(const QString &levelKey = u"LevelNew"_s) const
    {
        QStringList texts;
        for (int row = 0; row < view->treeModel()->rowCount(index(levelKey)); ++row)
            texts << view->treeModel()->index(row, 0, index(levelKey)).data().toString();
        return texts.join(u',');
    }
    template<class T> T *child(const QString &name) const { return view->findChild<T *>(name); }
    QString stored(const QString &name) const
    {
        return fixture.env.settings->read(SettingsStore::Root::Machine, ProgramSettings::Key, name);
    }

    MainWindowFixture &fixture;
    frmScenery *form = nullptr;
    std::unique_ptr<MainWindow> view;
};

// Sceneries "Alpha,Bravo" below "New", each recorded after the one before.
void chain(MainWindowFixture &fixture, const QStringList &titles, const QList<qint16> &flySims = {})
{
    MainWindowFixture::Scenery s;
    for (int i = 0; i < titles.size(); ++i) {
        s.title = titles[i];
        s.flySim = flySims.value(i);
        s.author = i == 0 ? u"Jane Roe"_s : QString();
        s.layer = qint16(i == 0 ? 5 : 1234);
        s.salesType = 3;
        s.previousKey = fixture.addScenery(s);
    }
}

QAction *menuAction(const MainWindow &view, const QString &menuTitle, const QString &entry)
{
    for (QAction *menu : view.menuBar()->actions()) {
        for (QAction *action : menu->menu()->actions()) {
            if (menu->text() == menuTitle && action->text() == entry)
                return action;
        }
    }
    return nullptr;
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void checkBoxClickRecounts_data()
    {
        QTest::addColumn<int>("members"); // the first sceneries, in the set "(Current)"
        QTest::addColumn<int>("sceneries");
        QTest::addColumn<QString>("clicked");
        QTest::addColumn<QString>("expected"); // the set panel, "!" for the warning picture
        QTest::newRow("tick a scenery") << 1 << 3 << "SceneryNew\\S001" << "Sceneries in Set: 2 / 3";
        QTest::newRow("clear a member") << 1 << 3 << "SceneryNew\\S000" << "Sceneries in Set: 0 / 3";
        QTest::newRow("tick the level") << 1 << 3 << "LevelNew" << "Sceneries in Set: 3 / 3";
        QTest::newRow("332 fit into one Scenery.cfg") << 332 << 333 << "" << "Sceneries in Set: 332 / 333";
        QTest::newRow("333 do not") << 333 << 333 << "" << "Sceneries in Set: 333 / 333!";
        QTest::newRow("the 333rd ticked") << 332 << 333 << "SceneryNew\\S332" << "Sceneries in Set: 333 / 333!";
    }
    void checkBoxClickRecounts()
    {
        QFETCH(int, members);
        QFETCH(int, sceneries);
        QFETCH(QString, clicked);
        QFETCH(QString, expected);
        MainWindowFixture fixture;
        for (int i = 0; i < sceneries; ++i) {
            fixture.addScenery(u"S%1"_s.arg(i, 3, 10, QLatin1Char('0')));
            if (i < members)
                fixture.addCfgArea(u"S%1"_s.arg(i, 3, 10, QLatin1Char('0')));
        }
        Window window(fixture);
        QCOMPARE(window.view->statusPanel(3)->text(), u"Sceneries: %1"_s.arg(sceneries));
        QTreeView *tree = window.view->treeView();
        if (!clicked.isEmpty()) {
            // Where the check box of the row is drawn.
            tree->scrollTo(window.index(clicked));
            QStyleOptionViewItem option;
            option.initFrom(tree);
            option.rect = tree->visualRect(window.index(clicked));
            option.features = QStyleOptionViewItem::HasCheckIndicator | QStyleOptionViewItem::HasDisplay;
            option.text = window.index(clicked).data().toString();
            const QRect box = tree->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, tree);
            QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, box.center());
        }
        const bool warning = window.view->warningPicture()->isVisibleTo(window.view.get());
        QCOMPARE(window.view->statusPanel(4)->text() + (warning ? u"!"_s : u""_s), expected);
        QCOMPARE(window.view->statusPanel(4)->text(), window.form->stbStatus().panels[3]);
    }

    void filterBoxesRebuildTree_data()
    {
        QTest::addColumn<int>("box");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("stored");
        QTest::newRow("FS95") << 0 << "Any" << "1";
        QTest::newRow("FS2K2") << 3 << "Jet,Any,Both" << "8";
        QTest::newRow("CFS2") << 5 << "Prop,Any,Both" << "32";
    }
    void filterBoxesRebuildTree()
    {
        QFETCH(int, box);
        QFETCH(QString, shown);
        QFETCH(QString, stored);
        MainWindowFixture fixture;
        chain(fixture, {u"Jet"_s, u"Prop"_s, u"Any"_s, u"Both"_s}, {8, 32, 0, 40});
        Window window(fixture);
        QCheckBox *filter = window.view->filterBox(box);
        QCOMPARE(filter->toolTip(), u"Filter scenery list"_s);
        QTest::mouseClick(filter, Qt::LeftButton);
        QCOMPARE(window.children() + u' ' + window.stored(u"Filter"_s), shown + u' ' + stored);
        // Clearing the box shows everything again, in the order it had.
        QTest::mouseClick(filter, Qt::LeftButton);
        QCOMPARE(window.children() + u' ' + window.stored(u"Filter"_s), u"Jet,Prop,Any,Both 0"_s);
    }

    void functionKeys_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("focus");
        QTest::addColumn<QString>("expected");
        QTest::newRow("F3 in the tree") << int(Qt::Key_F3) << 0 << "trvScenery" << "Bravo,Alpha";
        QTest::newRow("F3 in a text field") << int(Qt::Key_F3) << 0 << "txtComment" << "Bravo,Alpha";
        QTest::newRow("Shift+F3 runs nothing") << int(Qt::Key_F3) << int(Qt::ShiftModifier) << "trvScenery" << "Alpha,Bravo";
        QTest::newRow("Ctrl+F3 runs nothing") << int(Qt::Key_F3) << int(Qt::ControlModifier) << "trvScenery" << "Alpha,Bravo";
        QTest::newRow("unbound F4") << int(Qt::Key_F4) << 0 << "trvScenery" << "Alpha,Bravo";
    }
    void functionKeys()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QString, focus);
        QFETCH(QString, expected);
        MainWindowFixture fixture;
        chain(fixture, {u"Alpha"_s, u"Bravo"_s});
        Window window(fixture);
        Start::FunctionKeyTable keys;
        keys[2] = u"Move up"_s;
        window.form->setFunctionKeys(keys);
        window.view->selectNode(fixture.node(u"SceneryNew\\Bravo"_s));
        window.child<QWidget>(focus)->setFocus();
        QTest::keyClick(window.child<QWidget>(focus), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(window.children(), expected);
        // The moved node stays the selected one in the view.
        QCOMPARE(window.view->treeModel()->nodeAt(window.view->treeView()->currentIndex()), fixture.node(u"SceneryNew\\Bravo"_s));
    }

    void commandRunsOnceFromEachPlace_data()
    {
        QTest::addColumn<QString>("place");
        QTest::newRow("menu entry") << "menu";
        QTest::newRow("toolbar button") << "toolbar";
        QTest::newRow("function key") << "key";
    }
    void commandRunsOnceFromEachPlace()
    {
        QFETCH(QString, place);
        MainWindowFixture fixture;
        fixture.addScenery(u"Alpha"_s);
        Window window(fixture);
        Start::FunctionKeyTable keys;
        keys[6] = u"Add Set"_s;
        window.form->setFunctionKeys(keys);
        // A second run would ask again, which the script does not allow.
        fixture.env.ui.expectInput(u"Insert a new Set name:"_s, u"Create new set"_s, u"Weekend"_s);
        if (place == u"menu"_s)
            menuAction(*window.view, u"Se&t"_s, u"&Add Set"_s)->trigger();
        else if (place == u"toolbar"_s)
            QTest::mouseClick(window.view->toolBar()->widgetForAction(window.child<QAction>(u"btnSetAdd"_s)), Qt::LeftButton);
        else
            QTest::keyClick(window.view->treeView(), Qt::Key_F7);
        QVERIFY(fixture.env.ui.allShown());
        QComboBox *combo = window.view->setCombo();
        QCOMPARE(combo->currentText(), u"Weekend"_s);
        QCOMPARE(combo->findText(u"Weekend"_s), combo->count() - 1);
    }

    void menuBarAndToolbarAsOffered()
    {
        MainWindowFixture fixture;
        Window window(fixture);
        QStringList menus;
        for (QAction *menu : window.view->menuBar()->actions()) {
            QStringList entries;
            for (QAction *action : menu->menu()->actions())
                entries << (action->isSeparator() ? u"-"_s : action->text());
            menus << menu->text() + u": "_s + entries.join(u", "_s);
        }
        // clang-format off
        QCOMPARE(menus.join(u'\n'), QStringLiteral(
            "&Level: &Add Level, &Remove Level, Re&name Level, S&ort Level Ascending, Sort Level &Descending, &Move to level..., &Search...\n"
            "&Scenery: &Add Scenery, &Remove Scenery, &Undo remove Scenery, Re&name Scenery, &Move to Level..., Move Scenery on &Harddrive, &Search..., &Test local paths, -, Absolute scenery paths, Current to absolute scenery path, Add to Set..., Remove from Set...\n"
            "Se&t: &Add Set, &Remove Set, R&ename Set, -, &Find sceneries without set, &Copy Current to displayed Set\n"
            "S&cenery.cfg: &Update from Scenery.cfg, &Create Scenery.cfg\n"
            "&Backup: &Make Backup, &Install Backup, Install V1.5 Backup, &Delete Backup, -, &Backup file list\n"
            "&Wizard: &Prepare CDRom, -, Create &new file list, Create &FILE_ID.DIZ, Create Scenery.&zip file, -, &Global texture management, -, &Scenery list report\n"
            "&Preferences: &Basic Folders, &Cache, &Select sim type, &Define hotkey\n"
            "&Help: &Documentation, &Homepage, &Forum, &Info"));
        QStringList tips;
        for (const QAction *action : window.view->toolBar()->actions())
            tips << (action->isSeparator() ? u"-"_s : action->toolTip());
        QCOMPARE(tips.join(u'|'), QStringLiteral(
            "Move level or scenery to the first place|Move level or scenery one step upwards|Move level or scenery one step downwards|Move level or scenery to the last place|-|"
            "Create new level|Remove selected level|Rename the level|Sort level ascending|Sort level descending|-|Move to level...|Search a scenery or level|-|"
            "Create new scenery entry|Remove selected scenery|Undo remove scenery|Rename selected scenery|Move scenery on harddrive|Test local paths|-|"
            "Create new set|Delete selected set|Rename selected set|Find sceneries without sets|Create new set from current set|-|"
            "Update from scenery.cfg|Create scenery.cfg|-|Make new backup|Install backup|Delete backup"));
        // Captions that differ from their command's in wording or case run that command.
        const QStringList differing{u"S&cenery.cfg>&Create Scenery.cfg>Create Scenery"_s, u"&Backup>Install V1.5 Backup>Install 1.5 Backup"_s,
                                    u"&Level>&Move to level...>Move to Level..."_s, u"&Preferences>&Define hotkey>Define Hotkey"_s};
        // clang-format on
        for (const QString &row : differing) {
            const QAction *action = menuAction(*window.view, row.section(u'>', 0, 0), row.section(u'>', 1, 1));
            QCOMPARE(MainWindow::commandRowOf(action), Start::commandRow(row.section(u'>', 2)));
        }
        // Every entry and button runs a command and is enabled when that command can run.
        QList<QAction *> actions = window.view->toolBar()->actions();
        for (QAction *menu : window.view->menuBar()->actions())
            actions << menu->menu()->actions();
        for (const QAction *action : actions) {
            if (action->isSeparator() || action->menu())
                continue;
            QVERIFY2(MainWindow::commandRowOf(action) > 0, qPrintable(action->text()));
            QCOMPARE(action->isEnabled(), window.form->isCommandAvailable(MainWindow::commandRowOf(action)));
        }
        QCOMPARE(MainWindow::commandRowOf(actions.at(0)), Start::commandRow(u"Move top"_s));
        QCOMPARE(MainWindow::commandRowOf(actions.at(28)), Start::commandRow(u"Create Scenery"_s));
    }

    void detailsFollowTheClickedNode()
    {
        MainWindowFixture fixture;
        chain(fixture, {u"Alpha"_s, u"Bravo"_s}, {0, 40});
        Window window(fixture);
        // title|layer|version|author|sales type|ticked sim boxes|status panel
        const auto details = [&window] {
            QStringList ticked;
            for (int i = 0; i < 6; ++i) {
                if (window.child<QCheckBox>(u"chkType(%1)"_s.arg(i))->isChecked())
                    ticked << window.child<QCheckBox>(u"chkType(%1)"_s.arg(i))->text();
            }
            QStringList out;
            for (const char *name : {"txtTitle", "txtLayer", "txtVersion"})
                out << window.child<QLineEdit>(QLatin1StringView(name))->text();
            return (out << window.child<QComboBox>(u"txtAuthor"_s)->currentText()
                        << window.child<QComboBox>(u"cboSalesType"_s)->currentText() << ticked.join(u',')
                        << window.view->statusPanel(1)->text()).join(u'|');
        };
        QVERIFY(!window.child<QWidget>(u"fraScenery"_s)->isEnabled());
        QTreeView *tree = window.view->treeView();
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualRect(window.index(u"SceneryNew\\Bravo"_s)).center());
        QVERIFY(window.child<QWidget>(u"fraScenery"_s)->isEnabled());
        QCOMPARE(details(), u"Bravo|234|||Payware|FS2K2,CFS2|Bravo"_s);
        // Typing goes straight into the record; a sim box written by the user changes FlySim.
        window.child<QLineEdit>(u"txtVersion"_s)->setFocus();
        QTest::keyClicks(window.child<QLineEdit>(u"txtVersion"_s), u"2.1"_s);
        QTest::mouseClick(window.child<QCheckBox>(u"chkType(0)"_s), Qt::LeftButton);
        const SceneryPtr bravo = fixture.manager->colScenery.item(u"SceneryNew\\Bravo"_s);
        QCOMPARE(bravo->Version + u' ' + QString::number(bravo->FlySim), u"2.1 41"_s);
        // The other scenery shows its own values.
        window.view->selectNode(fixture.node(u"SceneryNew\\Alpha"_s));
        QCOMPARE(details(), u"Alpha|005||Jane Roe|Payware||Alpha"_s);
    }

    void excludeMarkedRed_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("red");
        QTest::newRow("not an area") << "N47 30.00" << true;
        QTest::newRow("an area") << "N47 30.00,W122 15.00,N47 00.00,W121 45.00,objects" << false;
    }
    void excludeMarkedRed()
    {
        QFETCH(QString, typed);
        QFETCH(bool, red);
        MainWindowFixture fixture;
        fixture.addScenery(u"Alpha"_s);
        Window window(fixture);
        window.view->selectNode(fixture.node(u"SceneryNew\\Alpha"_s));
        window.view->tabs()->setCurrentIndex(frmScenery::TabExcFlat);
        QCOMPARE(window.form->tbsScenery().selected, int(frmScenery::TabExcFlat));
        auto *exclude = window.child<QLineEdit>(u"txtExclude"_s);
        exclude->setFocus();
        QTest::keyClicks(exclude, typed);
        QCOMPARE(exclude->palette().color(QPalette::Text) == QColor(255, 0, 0), red);
        // Invalid text is kept all the same; emptying the box takes the mark away.
        QCOMPARE(fixture.manager->colScenery.item(u"SceneryNew\\Alpha"_s)->Exclude, typed);
        exclude->selectAll();
        QTest::keyClick(exclude, Qt::Key_Backspace);
        QVERIFY(exclude->palette().color(QPalette::Text) != QColor(255, 0, 0));
    }

    void setComboTypedName()
    {
        MainWindowFixture fixture;
        chain(fixture, {u"Alpha"_s, u"Bravo"_s});
        fixture.addSet(u"Evening"_s, 1, {u"Bravo"_s});
        Window window(fixture);
        QComboBox *combo = window.view->setCombo();
        QCOMPARE(combo->currentText(), u"(Current)"_s);
        // Typing an existing name and Enter shows that set on the check boxes, and does not add it again.
        combo->setFocus();
        combo->lineEdit()->selectAll();
        QTest::keyClicks(combo->lineEdit(), u"Evening"_s);
        QTest::keyClick(combo->lineEdit(), Qt::Key_Return);
        QCOMPARE(window.form->displayedSet()->Key, u"Evening"_s);
        QCOMPARE(window.view->statusPanel(4)->text(), u"Sceneries in Set: 1 / 2"_s);
        QCOMPARE(window.index(u"SceneryNew\\Bravo"_s).data(Qt::CheckStateRole).toInt(), int(Qt::Checked));
        QCOMPARE(window.index(u"SceneryNew\\Alpha"_s).data(Qt::CheckStateRole).toInt(), int(Qt::Unchecked));
        QCOMPARE(combo->count(), 2);
        // Picking "(Current)" from the list switches back.
        combo->activated(combo->findText(u"(Current)"_s));
        QCOMPARE(window.form->displayedSet()->Key, u"(Current)"_s);
    }

    // The whole gesture with the mouse: press on a scenery, move past the drag distance (the drag
    // starts and runs its own loop), move over the target and let go there.
    void mouseDragMovesScenery_data()
    {
        QTest::addColumn<bool>("onMoveToPage");
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("expectedKey");
        QTest::newRow("library tree, onto a level") << false << "LevelEurope" << "SceneryEurope\\Alpha";
        QTest::newRow("library tree, onto a scenery stays") << false << "SceneryEurope\\Berlin" << "SceneryNew\\Alpha";
        QTest::newRow("Move to page, onto a level") << true << "LevelEurope" << "SceneryEurope\\Alpha";
    }
    void mouseDragMovesScenery()
    {
        QFETCH(bool, onMoveToPage);
        QFETCH(QString, target);
        QFETCH(QString, expectedKey);
        MainWindowFixture fixture;
        fixture.addLevel(u"LevelEurope"_s, u"Europe"_s);
        fixture.addScenery(u"Alpha"_s);
        fixture.addScenery(u"Berlin"_s, u"LevelEurope"_s);
        Window window(fixture);
        QTreeView *targetView = window.view->treeView();
        QModelIndex targetIndex = window.index(target);
        if (onMoveToPage) {
            window.view->tabs()->setCurrentIndex(frmScenery::TabMoveTo);
            targetView = window.view->moveToView();
            targetIndex = window.view->moveToModel()->indexOf(window.form->trvMoveTo().node(target));
        }
        QVERIFY(targetIndex.isValid());
        QWidget *viewport = window.view->treeView()->viewport();
        const QPoint from = window.view->treeView()->visualRect(window.index(u"SceneryNew\\Alpha"_s)).center();
        const QPoint to = targetView->viewport()->mapTo(window.view.get(), targetView->visualRect(targetIndex).center());
        // The drag's loop runs inside the move below and listens to the window system, so the rest
        // of the gesture arrives at the top-level window from the queue.
        bool dropped = false;
        QWindow *top = window.view->windowHandle();
        QTimer::singleShot(50, viewport, [&] {
            QTest::mouseMove(top, to);
            QTest::mouseMove(top, to + QPoint(1, 0));
            QTest::mouseRelease(top, Qt::LeftButton, Qt::NoModifier, to + QPoint(1, 0));
            dropped = true;
        });
        QTest::mousePress(viewport, Qt::LeftButton, Qt::NoModifier, from);
        QCOMPARE(window.form->dragNode(), fixture.node(u"SceneryNew\\Alpha"_s));
        QMouseEvent move(QEvent::MouseMove, QPointF(from + QPoint(0, 3 * QApplication::startDragDistance())),
                         viewport->mapToGlobal(QPointF(from)), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &move);
        QTRY_VERIFY(dropped);
        QTRY_VERIFY2(fixture.node(expectedKey), "the scenery is not where it should be");
        QCOMPARE(fixture.form->manager().colScenery.keys().filter(u"Alpha"_s), QStringList{expectedKey});
        QVERIFY(!window.form->dragging());
        QCOMPARE(window.view->treeModel()->dropHighlight() + window.view->moveToModel()->dropHighlight(), QString());
        // The view shows the scenery where the logic put it.
        QCOMPARE(window.index(expectedKey).parent().data(TreeModel::KeyRole).toString(), LibraryTree::getParentKey(expectedKey));
    }

    void closingAsksOnce()
    {
        MainWindowFixture fixture;
        fixture.addScenery(u"Alpha"_s);
        Window window(fixture);
        QSignalSpy unloaded(window.form, &frmScenery::unloaded);
        fixture.env.ui.expectMessage(u"Do you want to save the changes to the database?"_s, u"Update Database"_s, UiPort::Answer::No);
        window.view->close();
        window.view->close();
        QVERIFY(fixture.env.ui.allShown());
        QCOMPARE(unloaded.count(), 1);
    }

    // The stored placement in twips is restored, and a resize stores it again.
    void placement()
    {
        MainWindowFixture fixture;
        const QStringList stored{u"Form.Width=15000"_s, u"Form.Height=9000"_s, u"Form.Left=1500"_s, u"Form.Top=750"_s, u"Form.WindowState=0"_s};
        for (const QString &s : stored)
            fixture.env.settings->write(SettingsStore::Root::Machine, ProgramSettings::Key, s.section(u'=', 0, 0), s.section(u'=', 1));
        Window window(fixture);
        const double x = window.view->twipsPerPixelX();
        const double y = window.view->twipsPerPixelY();
        QCOMPARE(window.view->geometry(), QRect(qRound(1500 / x), qRound(750 / y), qRound(15000 / x), qRound(9000 / y)));
        window.view->resize(1000, 700);
        QTRY_COMPARE(window.stored(u"Form.Width"_s), QString::number(qRound(window.view->width() * x)));
        QCOMPARE(window.stored(u"Form.WindowState"_s), u"0"_s);
    }

    void splashFollowsLogic_data()
    {
        QTest::addColumn<QString>("ending");
        QTest::newRow("main window activated") << "activate";
        QTest::newRow("click on the splash") << "click";
        QTest::newRow("key pressed in the splash") << "key";
    }
    void splashFollowsLogic()
    {
        QFETCH(QString, ending);
        MainWindowFixture fixture;
        Window window(fixture, false);
        SplashView *splash = window.view->splashView();
        // Loading showed it, with the build label filled and the close label hidden.
        QVERIFY(splash->isVisible());
        QCOMPARE(splash->findChild<QLabel *>(u"Label1"_s)->text(), u"Lumivale V1.6"_s);
        QVERIFY(splash->findChild<QLabel *>(u"lblBuild"_s)->text().startsWith(u"Build: 1.6."_s));
        QVERIFY(!splash->findChild<QLabel *>(u"lblClose"_s)->isVisibleTo(splash));
        if (ending == u"activate"_s)
            window.form->Form_Activate();
        else if (ending == u"click"_s)
            QTest::mouseClick(splash->findChild<QLabel *>(u"Label2"_s), Qt::LeftButton);
        else
            QTest::keyClick(splash, Qt::Key_Space);
        QVERIFY(!splash->isVisible() && !window.form->splash().isVisible());
    }

    void authorCompletion()
    {
        MainWindowFixture fixture;
        chain(fixture, {u"Alpha"_s, u"Bravo"_s});
        Window window(fixture);
        window.view->selectNode(fixture.node(u"SceneryNew\\Bravo"_s));
        QLineEdit *edit = window.child<QComboBox>(u"txtAuthor"_s)->lineEdit();
        edit->setFocus();
        QTest::keyClicks(edit, u"ja"_s);
        // The listed spelling is taken, the caret stays after what was typed.
        QCOMPARE(edit->text() + u' ' + QString::number(edit->cursorPosition()), u"Jane Roe 2"_s);
        QCOMPARE(fixture.manager->colScenery.item(u"SceneryNew\\Bravo"_s)->Author, u"Jane Roe"_s);
        // Arrow keys do not complete: the text is cut back only by typing.
        QTest::keyClick(edit, Qt::Key_Right);
        QCOMPARE(edit->text(), u"Jane Roe"_s);
    }

    void popupMenuShowsSetEntries()
    {
        MainWindowFixture fixture;
        fixture.addScenery(u"Alpha"_s);
        fixture.addSet(u"Evening"_s, 1, {u"Alpha"_s});
        fixture.addSet(u"Weekend"_s, 1, {});
        Window window(fixture);
        window.view->selectNode(fixture.node(u"SceneryNew\\Alpha"_s));
        QString shown;
        QTimer::singleShot(0, this, [&] {
            QWidget *popup = QApplication::activePopupWidget();
            QVERIFY(popup == window.view->sceneryMenu());
            for (QAction *entry : {window.view->addToSetAction(), window.view->removeFromSetAction()}) {
                shown += entry->isVisible() ? u"+"_s : u"-"_s;
                for (QAction *action : entry->menu()->actions())
                    shown += action->text() + u' ';
            }
            popup->close();
        });
        QTreeView *tree = window.view->treeView();
        emit tree->customContextMenuRequested(tree->visualRect(window.index(u"SceneryNew\\Alpha"_s)).center());
        QCOMPARE(shown, u"+Weekend +Evening "_s);
        // Closed again, the menu bar's menu has no set entries.
        QVERIFY(!window.view->addToSetAction()->isVisible() && !window.view->removeFromSetAction()->isVisible());
        QVERIFY(!window.form->setSubMenusVisible());
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
