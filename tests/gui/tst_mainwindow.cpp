#include "app/tst_frmscenery_fixture.h"
#include "gui/app/guiuiport.h"
#include "gui/app/mainwindow.h"
#include "gui/app/splashview.h"
#include "gui/tree/treemodel.h"
#include "settings/programsettings.h"
#include "support/testenv.h"

#include <QtTest>
#include <QtWidgets>

namespace {

// A library, the window logic loaded on it and its view, shown.
struct Window
{
    // Sceneries below "New", each recorded after the one before, "Jet@8,Prop@32" with a FlySim; the
    // first by "Jane Roe" at layer 5, the others at layer 1234, all payware. The window's questions
    // go to ui, the scripted one unless given.
    void load(const QString &titles, UiPort *ui = nullptr)
    {
        MainWindowFixture::Scenery s;
        for (const QString &title : titles.split(u',', Qt::SkipEmptyParts)) {
            s.title = title.section(u'@', 0, 0);
            s.flySim = qint16(title.section(u'@', 1).toInt());
            s.author = s.previousKey.isEmpty() ? u"Jane Roe"_s : QString();
            s.layer = qint16(s.previousKey.isEmpty() ? 5 : 1234);
            s.salesType = 3;
            s.previousKey = fixture.addScenery(s);
        }
        fixture.writeFiles(1);
        if (ui) {
            context = std::make_unique<AppContext>(
                AppContext{fixture.env.fs, *fixture.env.settings, *ui, fixture.env.program});
            fixture.manager = std::make_unique<SceneryManager>(*context);
            fixture.form = std::make_unique<frmScenery>(*context, *fixture.manager);
        } else {
            fixture.create();
        }
        form = fixture.form.get();
        // As the program does it: the view exists before the window loads, so it follows the load.
        view = std::make_unique<MainWindow>(*form);
        form->Form_Load();
        view->show();
        QVERIFY(QTest::qWaitForWindowExposed(view.get()));
        form->Form_Activate();
    }

    QModelIndex index(const QString &key) const { return view->treeModel()->indexOf(fixture.node(key)); }
    // The texts of the children of "New" as the view's model shows them, "Alpha,Bravo".
    QString children() const
    {
        QStringList texts;
        for (int row = 0; row < view->treeModel()->rowCount(index(u"LevelNew"_s)); ++row)
            texts << view->treeModel()->index(row, 0, index(u"LevelNew"_s)).data().toString();
        return texts.join(u',');
    }
    template<class T = QWidget> T *child(const QString &name) const { return view->findChild<T *>(name); }
    void select(const QString &title) { view->selectNode(fixture.node(u"SceneryNew\\"_s + title)); }

    MainWindowFixture fixture;
    std::unique_ptr<AppContext> context;
    frmScenery *form = nullptr;
    std::unique_ptr<MainWindow> view;
};

// Runs action while a timer waits for each input prompt it opens: the prompt's title is noted, then
// before is run (with the prompt open) and the prompt is cancelled.
QStringList promptsOpened(const std::function<void()> &action,
                          const std::function<void(QInputDialog &)> &before = {})
{
    QStringList titles;
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto *prompt = qobject_cast<QInputDialog *>(QApplication::activeModalWidget());
        if (!prompt || !prompt->isVisible())
            return;
        titles << prompt->windowTitle();
        if (before)
            before(*prompt);
        prompt->reject();
    });
    poll.start();
    action();
    return titles;
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
        // clang-format off
        QTest::newRow("clear a member") << 1 << 3 << "SceneryNew\\S000" << "Sceneries in Set: 0 / 3";
        QTest::newRow("tick the level") << 1 << 3 << "LevelNew" << "Sceneries in Set: 3 / 3";
        QTest::newRow("332 fit into one Scenery.cfg") << 332 << 333 << "" << "Sceneries in Set: 332 / 333";
        QTest::newRow("333 do not") << 333 << 333 << "" << "Sceneries in Set: 333 / 333!";
        QTest::newRow("the 333rd ticked") << 332 << 333 << "SceneryNew\\S332" << "Sceneries in Set: 333 / 333!";
        // clang-format on
    }
    void checkBoxClickRecounts()
    {
        QFETCH(int, members);
        QFETCH(int, sceneries);
        QFETCH(QString, clicked);
        QFETCH(QString, expected);
        Window window;
        QStringList titles;
        for (int i = 0; i < sceneries; ++i) {
            titles << u"S%1"_s.arg(i, 3, 10, QLatin1Char('0'));
            if (i < members)
                window.fixture.addCfgArea(titles.last());
        }
        window.load(titles.join(u','));
        if (!clicked.isEmpty()) {
            window.view->treeView()->setCurrentIndex(window.index(clicked));
            QTest::keyClick(window.view->treeView(), Qt::Key_Space);
        }
        const bool warning = window.view->warningPicture()->isVisibleTo(window.view.get());
        QCOMPARE(window.view->statusPanel(4)->text() + (warning ? u"!"_s : u""_s), expected);
    }

    void filterBoxesRebuildTree_data()
    {
        QTest::addColumn<int>("box");
        QTest::addColumn<QString>("expected"); // the sceneries shown and the stored "Filter"
        QTest::newRow("FS95") << 0 << "Any 1";
        QTest::newRow("FS2K2") << 3 << "Jet,Any,Both 8";
        QTest::newRow("CFS2") << 5 << "Prop,Any,Both 32";
    }
    void filterBoxesRebuildTree()
    {
        QFETCH(int, box);
        QFETCH(QString, expected);
        Window window;
        window.load(u"Jet@8,Prop@32,Any,Both@40"_s);
        QCheckBox *filter = window.view->filterBox(box);
        const auto stored = [&] { return window.fixture.env.settings->read(SettingsStore::Root::Machine, ProgramSettings::Key, u"Filter"_s); };
        QTest::mouseClick(filter, Qt::LeftButton);
        QCOMPARE(window.children() + u' ' + stored(), expected);
        // Clearing the box shows everything again, in the order it had.
        QTest::mouseClick(filter, Qt::LeftButton);
        QCOMPARE(window.children() + u' ' + stored(), u"Jet,Prop,Any,Both 0"_s);
    }

    // F3 is bound to "Move up"; a command run twice would move the scenery twice.
    void functionKeysAndButtonsRunOnce_data()
    {
        QTest::addColumn<QString>("input"); // keys, or the name of a toolbar button
        QTest::addColumn<QString>("focus");
        QTest::addColumn<QString>("expected");
        QTest::newRow("F3 in the tree") << "F3" << "trvScenery" << "Alpha,Charlie,Bravo";
        QTest::newRow("F3 in a text field") << "F3" << "txtComment" << "Alpha,Charlie,Bravo";
        QTest::newRow("Shift+F3 runs nothing") << "Shift+F3" << "trvScenery" << "Alpha,Bravo,Charlie";
        QTest::newRow("unbound F4") << "F4" << "trvScenery" << "Alpha,Bravo,Charlie";
        QTest::newRow("toolbar button") << "btnMovePrevious" << "trvScenery" << "Alpha,Charlie,Bravo";
    }
    void functionKeysAndButtonsRunOnce()
    {
        QFETCH(QString, input);
        QFETCH(QString, focus);
        QFETCH(QString, expected);
        Window window;
        window.load(u"Alpha,Bravo,Charlie"_s);
        Start::FunctionKeyTable keys;
        keys[2] = u"Move up"_s;
        window.form->setFunctionKeys(keys);
        window.select(u"Charlie"_s);
        window.child(focus)->setFocus();
        const QKeyCombination key = QKeySequence(input)[0];
        if (input.startsWith(u"btn"_s))
            QTest::mouseClick(window.view->toolBar()->widgetForAction(window.child<QAction>(input)), Qt::LeftButton);
        else
            QTest::keyClick(window.child(focus), key.key(), key.keyboardModifiers());
        QCOMPARE(window.children(), expected);
        // The moved node stays the selected one in the view.
        QCOMPARE(window.view->treeView()->currentIndex().data(TreeModel::KeyRole).toString(), u"SceneryNew\\Charlie"_s);
    }

    void menuBarAndToolbarAsOffered()
    {
        Window window;
        window.load({});
        QStringList menus;
        QHash<QString, QAction *> entries; // "menu>entry"
        for (QAction *menu : window.view->menuBar()->actions()) {
            QStringList list;
            for (QAction *action : menu->menu()->actions()) {
                list << (action->isSeparator() ? u"-"_s : action->text());
                entries[menu->text() + u'>' + action->text()] = action;
            }
            menus << menu->text() + u": "_s + list.join(u", "_s);
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
        for (const QString &row : {u"S&cenery.cfg>&Create Scenery.cfg>Create Scenery"_s, u"&Backup>Install V1.5 Backup>Install 1.5 Backup"_s,
                                   u"&Level>&Move to level...>Move to Level..."_s, u"&Preferences>&Define hotkey>Define Hotkey"_s})
            QCOMPARE(MainWindow::commandOf(entries.value(row.section(u'>', 0, 1))), Start::commandByCaption(row.section(u'>', 2)));
        // clang-format on
        // Every entry and button runs a command and is enabled when that command can run.
        for (const QAction *action : window.view->toolBar()->actions() + entries.values()) {
            if (!action->isSeparator() && !action->menu())
                QVERIFY2(MainWindow::commandOf(action) != Start::Command::None && action->isEnabled() == window.form->isCommandAvailable(MainWindow::commandOf(action)), qPrintable(action->text()));
        }
    }

    void detailsFollowTheClickedNode()
    {
        Window window;
        window.load(u"Alpha,Bravo@40"_s);
        // title|layer|version|author|sales type|ticked sim boxes|status panel
        const auto details = [&window] {
            QStringList out, ticked;
            for (int i = 0; i < 6; ++i) {
                if (window.child<QCheckBox>(u"chkType%1"_s.arg(i))->isChecked())
                    ticked << window.child<QCheckBox>(u"chkType%1"_s.arg(i))->text();
            }
            for (const QString &name : {u"txtTitle"_s, u"txtLayer"_s, u"txtVersion"_s})
                out << window.child<QLineEdit>(name)->text();
            return (out << window.child<QComboBox>(u"txtAuthor"_s)->currentText()
                        << window.child<QComboBox>(u"cboSalesType"_s)->currentText() << ticked.join(u',')
                        << window.view->statusPanel(1)->text()).join(u'|');
        };
        QTreeView *tree = window.view->treeView();
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualRect(window.index(u"SceneryNew\\Bravo"_s)).center());
        QCOMPARE(details(), u"Bravo|234|||Payware|FS2K2,CFS2|Bravo"_s);
        // Typing goes straight into the record; a sim box written by the user changes FlySim; the
        // author box completes to a listed spelling and leaves the caret after what was typed.
        window.child(u"txtVersion"_s)->setFocus();
        QTest::keyClicks(window.child(u"txtVersion"_s), u"2.1"_s);
        QTest::mouseClick(window.child(u"chkType0"_s), Qt::LeftButton);
        QLineEdit *author = window.child<QComboBox>(u"txtAuthor"_s)->lineEdit();
        author->setFocus();
        QTest::keyClicks(author, u"ja"_s);
        QCOMPARE(author->cursorPosition(), 2);
        const SceneryPtr bravo = window.fixture.manager->colScenery.item(u"SceneryNew\\Bravo"_s);
        QCOMPARE(u"%1 %2 %3"_s.arg(bravo->Version).arg(bravo->FlySim).arg(bravo->Author), u"2.1 41 Jane Roe"_s);
        // The other scenery shows its own values.
        window.select(u"Alpha"_s);
        QCOMPARE(details(), u"Alpha|005||Jane Roe|Payware||Alpha"_s);
        // An Exclude value that is not an area is kept all the same, and shown in red until it is one.
        window.view->tabs()->setCurrentIndex(DetailsPanel::TabExcFlat);
        auto *exclude = window.child<QLineEdit>(u"txtExclude"_s);
        const auto red = [exclude] { return exclude->palette().color(QPalette::Text) == QColor(255, 0, 0); };
        exclude->setFocus();
        QTest::keyClicks(exclude, u"N47 30.00"_s);
        QVERIFY(red());
        QCOMPARE(window.fixture.manager->colScenery.item(u"SceneryNew\\Alpha"_s)->Exclude, u"N47 30.00"_s);
        QTest::keyClicks(exclude, u",W122 15.00,N47 00.00,W121 45.00,objects"_s);
        QVERIFY(!red());
    }

    // Typing an existing set name and Enter shows that set on the check boxes, and does not add it again.
    void setComboEnter()
    {
        Window window;
        window.fixture.addSet(u"Evening"_s, 1, {u"Bravo"_s});
        window.load(u"Alpha,Bravo"_s);
        QComboBox *combo = window.view->setCombo();
        combo->setFocus();
        combo->lineEdit()->selectAll();
        QTest::keyClicks(combo->lineEdit(), u"Evening"_s);
        QTest::keyClick(combo->lineEdit(), Qt::Key_Return);
        QCOMPARE(u"%1 %2 %3"_s.arg(window.form->sets().displayedSet()->Key, window.view->statusPanel(4)->text()).arg(combo->count()),
                 u"Evening Sceneries in Set: 1 / 2 2"_s);
        QCOMPARE(window.index(u"SceneryNew\\Bravo"_s).data(Qt::CheckStateRole).toInt(), int(Qt::Checked));
        // Taking the window down moves the focus out of the combo; the logic hears nothing of it.
        QSignalSpy heard(&window.form->status(), &WindowStatus::statusChanged);
        window.view.reset();
        QCOMPARE(heard.count(), 0);
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
        Window window;
        window.fixture.addLevel(u"LevelEurope"_s, u"Europe"_s);
        window.fixture.addScenery(u"Berlin"_s, u"LevelEurope"_s);
        window.load(u"Alpha"_s);
        window.view->tabs()->setCurrentIndex(onMoveToPage ? DetailsPanel::TabMoveTo : DetailsPanel::TabDetail);
        QTreeView *to = onMoveToPage ? window.view->moveToView() : window.view->treeView();
        const QModelIndex targetIndex = static_cast<TreeModel *>(to->model())->indexOf(
            onMoveToPage ? window.form->organiser().trvMoveTo().node(target) : window.fixture.node(target));
        QWidget *viewport = window.view->treeView()->viewport();
        const QPoint from = window.view->treeView()->visualRect(window.index(u"SceneryNew\\Alpha"_s)).center();
        const QPoint at = to->viewport()->mapTo(window.view.get(), to->visualRect(targetIndex).center());
        // The drag's loop runs inside the move below and listens to the window system, so the rest
        // of the gesture arrives at the top-level window from the queue.
        bool dropped = false;
        QWindow *top = window.view->windowHandle();
        QTimer::singleShot(50, viewport, [&] {
            QTest::mouseMove(top, at);
            QTest::mouseMove(top, at + QPoint(1, 0));
            QTest::mouseRelease(top, Qt::LeftButton, Qt::NoModifier, at + QPoint(1, 0));
            dropped = true;
        });
        QTest::mousePress(viewport, Qt::LeftButton, Qt::NoModifier, from);
        QMouseEvent move(QEvent::MouseMove, QPointF(from + QPoint(0, 3 * QApplication::startDragDistance())),
                         viewport->mapToGlobal(QPointF(from)), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &move);
        QTRY_VERIFY(dropped);
        QTRY_VERIFY2(window.fixture.node(expectedKey), "the scenery is not where it should be");
        QCOMPARE(window.form->manager().colScenery.keys().filter(u"Alpha"_s), QStringList{expectedKey});
        QVERIFY(!window.form->organiser().dragging());
        // The view shows the scenery where the logic put it.
        QCOMPARE(window.index(expectedKey).parent().data(TreeModel::KeyRole).toString(), LibraryTree::getParentKey(expectedKey));
    }

    void closingAsksOnce()
    {
        Window window;
        window.load(u"Alpha"_s);
        QSignalSpy unloaded(window.form, &frmScenery::unloaded);
        window.fixture.env.ui.expectMessage(u"Do you want to save the changes to the database?"_s, u"Update Database"_s,
                                            UiPort::Answer::No);
        window.view->close();
        window.view->close();
        QVERIFY(window.fixture.env.ui.allShown());
        QCOMPARE(unloaded.count(), 1);
    }

    void popupMenuShowsSetEntries()
    {
        Window window;
        window.fixture.addSet(u"Evening"_s, 1, {u"Alpha"_s});
        window.fixture.addSet(u"Weekend"_s, 1, {});
        window.load(u"Alpha"_s);
        window.select(u"Alpha"_s);
        // Each set sub-menu while the pop-up is open: shown or not, then its entries.
        QString shown;
        QTimer::singleShot(0, this, [&] {
            for (QAction *entry : {window.view->addToSetAction(), window.view->removeFromSetAction()}) {
                shown += entry->isVisible() ? u"+"_s : u"-"_s;
                for (QAction *action : entry->menu()->actions())
                    shown += action->text() + u' ';
            }
            window.view->sceneryMenu()->close();
        });
        QTreeView *tree = window.view->treeView();
        emit tree->customContextMenuRequested(tree->visualRect(window.index(u"SceneryNew\\Alpha"_s)).center());
        QCOMPARE(shown, u"+Weekend +Evening "_s);
        // Closed again, the menu bar's menu has no set entries.
        QVERIFY(!window.view->addToSetAction()->isVisible() && !window.form->sets().setSubMenusVisible());
    }

    // A function key whose command opens a prompt runs it once. The key's release reaches the window
    // while the prompt is open, as it does from a real keyboard; the press then travels on to the
    // parents of the focus widget, which ignore it.
    void functionKeyWithPromptRunsOnce_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("focus");
        QTest::addColumn<QString>("prompt");
        QTest::newRow("F4 Search... in a text field")
            << u"Search..."_s << u"txtComment"_s << u"Search scenery or level"_s;
        QTest::newRow("F4 Add Level in the tree") << u"Add Level"_s << u"trvScenery"_s << u"New Level"_s;
    }
    void functionKeyWithPromptRunsOnce()
    {
        QFETCH(QString, command);
        QFETCH(QString, focus);
        QFETCH(QString, prompt);
        Window window;
        GuiUiPort ui(window.fixture.env.fs);
        window.load(u"Alpha,Bravo"_s, &ui);
        Start::FunctionKeyTable keys;
        keys[3] = command;
        window.form->setFunctionKeys(keys);
        window.select(u"Alpha"_s);
        QWidget *field = window.child(focus);
        field->setFocus();
        const QStringList opened =
            promptsOpened([&] { QTest::keyPress(field, Qt::Key_F4); },
                          [&](QInputDialog &) { QTest::keyRelease(field, Qt::Key_F4); });
        QCOMPARE(opened, QStringList{prompt});
    }

    // A set name typed into the set box is taken by Enter and by leaving the box: the set is created
    // and displayed, with no check box ticked. The keys go to the combo, which has the focus.
    void typedSetNameTaken_data()
    {
        QTest::addColumn<bool>("enter"); // else the box is left for the tree
        QTest::newRow("Enter") << true;
        QTest::newRow("leaving the box") << false;
    }
    void typedSetNameTaken()
    {
        QFETCH(bool, enter);
        Window window;
        window.fixture.addCfgArea(u"Alpha"_s);
        window.load(u"Alpha,Bravo"_s);
        QComboBox *combo = window.view->setCombo();
        window.view->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.view.get()));
        combo->setFocus();
        combo->lineEdit()->selectAll();
        QTest::keyClicks(combo, u"Evening"_s);
        if (enter)
            QTest::keyClick(combo, Qt::Key_Return);
        else
            window.view->treeView()->setFocus();
        QVERIFY(window.form->sets().displayedSet());
        QCOMPARE(window.form->sets().displayedSet()->Key, u"Evening"_s);
        QVERIFY(window.fixture.manager->dicCFGs.contains(u"Evening"_s));
        QCOMPARE(window.index(u"SceneryNew\\Alpha"_s).data(Qt::CheckStateRole).toInt(), int(Qt::Unchecked));
        QCOMPARE(window.view->statusPanel(4)->text(), u"Sceneries in Set: 0 / 2"_s);
        QCOMPARE(window.fixture.members(u"(Current)"_s), QStringList{u"Alpha"_s});
    }

    // Letters typed into the author box complete it from the list, the added part selected. The keys
    // go to the combo, which has the focus.
    void authorCompletesAsTyped()
    {
        Window window;
        window.load(u"Alpha,Bravo"_s);
        window.select(u"Bravo"_s);
        QComboBox *author = window.child<QComboBox>(u"txtAuthor"_s);
        window.view->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.view.get()));
        author->setFocus();
        QTest::keyClicks(author, u"Ja"_s);
        QCOMPARE(author->lineEdit()->text(), u"Jane Roe"_s);
        QCOMPARE(author->lineEdit()->selectedText(), u"ne Roe"_s);
        QCOMPARE(window.fixture.manager->colScenery.item(u"SceneryNew\\Bravo"_s)->Author, u"Jane Roe"_s);
    }

    // A click on a node's check box selects that node: the highlight and the panel show the same.
    void checkBoxClickSelectsTheNode()
    {
        Window window;
        window.load(u"Alpha,Bravo"_s);
        window.select(u"Alpha"_s);
        QTreeView *tree = window.view->treeView();
        const QModelIndex bravo = window.index(u"SceneryNew\\Bravo"_s);
        QStyleOptionViewItem option;
        option.initFrom(tree);
        option.rect = tree->visualRect(bravo);
        option.features = QStyleOptionViewItem::HasCheckIndicator | QStyleOptionViewItem::HasDisplay;
        const QRect box = tree->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, tree);
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, box.center());
        QCOMPARE(bravo.data(Qt::CheckStateRole).toInt(), int(Qt::Checked));
        QCOMPARE(tree->currentIndex().data(TreeModel::KeyRole).toString(), u"SceneryNew\\Bravo"_s);
        QCOMPARE(window.child<QLineEdit>(u"txtTitle"_s)->text(), u"Bravo"_s);
    }

    // The splash is on screen while the library loads, and stays until the window has been
    // activated (or has waited for it in vain) and the splash has been seen.
    void splashShownWhileLoading()
    {
        MainWindowFixture fixture;
        fixture.writeFiles(1);
        fixture.create();
        MainWindow view(*fixture.form);
        bool onScreenWhileLoading = false;
        connect(fixture.form.get(), &frmScenery::splashChanged, this, [&] {
            const QWindow *splash = view.splashView()->windowHandle();
            if (fixture.form->splash().isVisible())
                onScreenWhileLoading = splash && splash->isExposed();
        });
        fixture.form->Form_Load();
        QVERIFY(onScreenWhileLoading);
        view.show();
        QVERIFY(view.splashView()->isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(!fixture.form->splash().isVisible(), MainWindow::ActivationWait + 1000);
        QTRY_VERIFY_WITH_TIMEOUT(!view.splashView()->isVisible(), SplashView::MinimumShown + 1000);
    }

    // At its minimum size the window shows all of every caption, label, tab, toolbar button and
    // the picture box.
    void nothingCutAtMinimumSize()
    {
        Window window;
        window.load(u"Alpha"_s);
        window.select(u"Alpha"_s);
        window.view->resize(window.view->minimumSize());
        QTRY_COMPARE(window.view->size(), window.view->minimumSize());
        QApplication::processEvents();
        QList<QWidget *> shown{window.view->freeSpaceLabel(), window.view->tabs()->tabBar(),
                               window.child(u"imgPicture"_s), window.child(u"lblSet"_s)};
        for (int i = 0; i < 6; ++i)
            shown << window.view->filterBox(i) << window.child(u"chkType%1"_s.arg(i));
        for (int panel = 2; panel <= 4; ++panel)
            shown << window.view->statusPanel(panel);
        for (QAction *action : window.view->toolBar()->actions())
            shown << window.view->toolBar()->widgetForAction(action);
        for (QWidget *widget : std::as_const(shown)) {
            const QString name =
                widget->objectName() + u' ' + QLatin1StringView(widget->metaObject()->className());
            QVERIFY2(widget->isVisible(), qPrintable(name));
            QVERIFY2(widget->width() >= widget->sizeHint().width(), qPrintable(name));
            QVERIFY2(widget->visibleRegion().boundingRect() == widget->rect(), qPrintable(name));
        }
    }

    // The folder chooser starts in the given folder or, when that is gone (a moved scenery, a drive
    // taken out), in the nearest folder above it; it hands back the chosen folder in Windows form.
    void folderChooserStartsInNearestFolder()
    {
        TestEnv env;
        env.writeFile(u"C:\\Sceneries\\Alps\\scenery\\alps.bgl"_s);
        GuiUiPort ui(env.fs);
        QString startedIn;
        QTimer poll;
        poll.setInterval(10);
        connect(&poll, &QTimer::timeout, this, [&] {
            auto *chooser = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
            if (!chooser || !chooser->isVisible())
                return;
            startedIn = chooser->directory().absolutePath();
            poll.stop();
            // Confirming a chooser that names a folder not there would only bring up its warning.
            if (QFileInfo(chooser->selectedFiles().value(0)).isDir())
                static_cast<QDialog *>(chooser)->accept();
            else
                chooser->reject();
        });
        poll.start();
        const std::optional<QString> chosen =
            ui.chooseFolder(u"Select folder"_s, u"C:\\Sceneries\\Gone\\Deeper"_s);
        QCOMPARE(startedIn, env.host(u"C:\\Sceneries"_s));
        QCOMPARE(chosen.value_or(u"(cancelled)"_s), u"C:\\Sceneries"_s);
    }

    // An input prompt is wide enough for its title beside a title bar's icon and three buttons.
    void promptFitsItsTitle()
    {
        const QString title = u"Search scenery or level"_s;
        FileSystem fs;
        GuiUiPort ui(fs);
        int width = 0;
        int titleWidth = 0;
        promptsOpened([&] { ui.input(u"Insert a search string:"_s, title, QString()); },
                      [&](QInputDialog &prompt) {
                          QFont bold = prompt.font();
                          bold.setBold(true);
                          titleWidth = QFontMetrics(bold).horizontalAdvance(title);
                          width = prompt.width();
                      });
        const int iconAndButtons = 4 * 24 + 24; // an icon and three buttons of 24 pixels, and margins
        QVERIFY2(width >= titleWidth + iconAndButtons,
                 qPrintable(u"%1 for a title of %2"_s.arg(width).arg(titleWidth)));
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
