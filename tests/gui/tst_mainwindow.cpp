// The main window's view bound to its logic: what the user's clicks, keys and drags reach, and
// what the window shows of the logic's state.

#include "app/windowfixture.h"
#include "gui/app/guiuiport.h"
#include "gui/app/mainwindow.h"
#include "gui/app/splashview.h"
#include "gui/tree/treemodel.h"
#include "sims/frmsimtype.h"
#include "tree/librarytree.h"

#include <QtTest>
#include <QtWidgets>

using namespace Qt::StringLiterals;

namespace {
const QString AlphaKey = u"SceneryNew\\Alpha"_s;
const QString BravoKey = u"SceneryNew\\Bravo"_s;

// A library of sceneries in "New", in the order given: the first by Jane Roe at layer 5, the others
// at layer 1234, all payware, each for the simulators of its FlySim (none when not given).
Library inNew(const QStringList &titles, const QList<qint16> &flySims = {})
{
    Library library;
    for (qsizetype i = 0; i < titles.size(); ++i) {
        library.scenery(titles[i], {.author = i == 0 ? u"Jane Roe"_s : QString(),
                                    .flySim = flySims.value(i),
                                    .layer = qint16(i == 0 ? 5 : 1234),
                                    .salesType = 3});
    }
    return library.recordOrder();
}

// A library, the window's logic loaded on it and its view shown, as the program does it: the view
// exists before the window loads, so it follows the load.
struct Window
{
    explicit Window(const Library &library, const Library &areas = Library(), UiPort *ui = nullptr)
    {
        fixture.write(library, areas);
        form = &fixture.create(ui);
        view = std::make_unique<MainWindow>(*form);
        form->Form_Load();
        view->show();
        QVERIFY(QTest::qWaitForWindowExposed(view.get()));
        form->Form_Activate();
    }

    QModelIndex index(const QString &key) const { return view->treeModel()->indexOf(fixture.node(key)); }
    QPoint centre(const QString &key) const { return view->treeView()->visualRect(index(key)).center(); }
    // The texts of the children of "New" as the view's model shows them.
    QStringList children() const
    {
        QStringList texts;
        const QModelIndex level = index(u"LevelNew"_s);
        for (int row = 0; row < view->treeModel()->rowCount(level); ++row)
            texts << view->treeModel()->index(row, 0, level).data().toString();
        return texts;
    }
    template<class T = QWidget> T *child(const QString &name) const { return view->findChild<T *>(name); }
    void select(const QString &key) { view->selectNode(fixture.node(key)); }
    // The key of the node the view shows as current.
    QString currentKey() const
    {
        return view->treeView()->currentIndex().data(TreeModel::KeyRole).toString();
    }

    WindowFixture fixture;
    frmScenery *form = nullptr;
    std::unique_ptr<MainWindow> view;
};

// Runs action while a timer waits for each input prompt it opens: the prompt's title is noted, then
// whileOpen is run with the prompt open and the prompt is cancelled.
QStringList promptsOpened(const std::function<void()> &action,
                          const std::function<void(QInputDialog &)> &whileOpen = {})
{
    QStringList titles;
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto *prompt = qobject_cast<QInputDialog *>(QApplication::activeModalWidget());
        if (!prompt || !prompt->isVisible())
            return;
        titles << prompt->windowTitle();
        if (whileOpen)
            whileOpen(*prompt);
        prompt->reject();
    });
    poll.start();
    action();
    return titles;
}

enum class Leaving { ByEnter, ByFocus };
} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    // A click on a box reaches the displayed set and the counts: the 333rd member, one more than a
    // Scenery.cfg can take, shows the warning.
    void checkBoxClickRecounts()
    {
        QStringList titles;
        Library areas;
        for (int i = 0; i < 333; ++i) {
            titles << u"S%1"_s.arg(i, 3, 10, QLatin1Char('0'));
            if (i < 332)
                areas.scenery(titles.last());
        }
        Window window(inNew(titles), areas);
        QVERIFY(!window.view->warningPicture()->isVisibleTo(window.view.get()));
        window.view->treeView()->setCurrentIndex(window.index(u"SceneryNew\\S332"_s));
        QTest::keyClick(window.view->treeView(), Qt::Key_Space);
        QCOMPARE(window.view->statusPanel(4)->text(), u"Sceneries in Set: 333 / 333"_s);
        QVERIFY(window.view->warningPicture()->isVisibleTo(window.view.get()));
    }

    // A filter box shows the sceneries of its simulator and those made for none; cleared,
    // everything is shown again in the order it had.
    void filterBoxRebuildsTheTree()
    {
        Window window(inNew({u"Jet"_s, u"Prop"_s, u"Any"_s, u"Both"_s}, {8, 32, 0, 40}));
        QTest::mouseClick(window.view->filterBox(3), Qt::LeftButton);
        QCOMPARE(window.children(), (QStringList{u"Jet"_s, u"Any"_s, u"Both"_s}));
        QTest::mouseClick(window.view->filterBox(3), Qt::LeftButton);
        QCOMPARE(window.children(), (QStringList{u"Jet"_s, u"Prop"_s, u"Any"_s, u"Both"_s}));
    }

    // F3 is bound to "Move up"; a command run twice would move the scenery twice.
    void functionKeysAndButtonsRunOnce_data()
    {
        QTest::addColumn<QString>("focus");
        QTest::addColumn<QKeyCombination>("key"); // none: the toolbar button "Move up" is clicked
        QTest::addColumn<QStringList>("children");
        const QStringList moved{u"Alpha"_s, u"Charlie"_s, u"Bravo"_s};
        QTest::newRow("F3 in a text field") << u"txtComment"_s << QKeyCombination(Qt::Key_F3) << moved;
        QTest::newRow("toolbar button") << u"trvScenery"_s << QKeyCombination() << moved;
    }
    void functionKeysAndButtonsRunOnce()
    {
        QFETCH(QString, focus);
        QFETCH(QKeyCombination, key);
        QFETCH(QStringList, children);
        Window window(inNew({u"Alpha"_s, u"Bravo"_s, u"Charlie"_s}));
        Start::FunctionKeyTable keys;
        keys[2] = u"Move up"_s;
        window.form->setFunctionKeys(keys);
        window.select(u"SceneryNew\\Charlie"_s);
        window.child(focus)->setFocus();
        if (key.key() == Qt::Key_unknown) {
            QAction *button = window.child<QAction>(u"btnMovePrevious"_s);
            QTest::mouseClick(window.view->toolBar()->widgetForAction(button), Qt::LeftButton);
        } else {
            QTest::keyClick(window.child(focus), key.key(), key.keyboardModifiers());
        }
        QCOMPARE(window.children(), children);
        // The moved node stays the current one in the view.
        QCOMPARE(window.currentKey(), u"SceneryNew\\Charlie"_s);
    }

    // F4 bound to "Search..." in a text field runs it once. The key's release reaches the window
    // while the prompt is open, as it does from a real keyboard; the press then travels on to the
    // parents of the focus widget, which ignore it.
    void functionKeyWithPromptRunsOnce()
    {
        FileSystem fs;
        GuiUiPort ui(fs);
        Window window(inNew({u"Alpha"_s, u"Bravo"_s}), Library(), &ui);
        Start::FunctionKeyTable keys;
        keys[3] = u"Search..."_s;
        window.form->setFunctionKeys(keys);
        window.select(AlphaKey);
        QWidget *field = window.child(u"txtComment"_s);
        field->setFocus();
        const QStringList opened =
            promptsOpened([&] { QTest::keyPress(field, Qt::Key_F4); },
                          [&](QInputDialog &) { QTest::keyRelease(field, Qt::Key_F4); });
        QCOMPARE(opened, QStringList{u"Search scenery or level"_s});
    }

    // The button beside the set box gives the displayed set to another simulator: it is enabled for
    // every set but "(Current)", and the set leaves the box at once.
    void setSimulatorButton()
    {
        Window window{Library().scenery(u"A"_s).set(u"Mine"_s, Sim::FS2002, {u"A"_s})};
        install(window.fixture.env, {{Sim::FS2000, u"C:\\FS2000"_s}});
        auto *button = window.child<QPushButton>(u"cmdChangeFlightSimSet"_s);
        auto *box = window.child<QComboBox>(u"cboScenerySet"_s);
        QVERIFY(!button->isEnabled());
        box->lineEdit()->selectAll();
        QTest::keyClicks(box->lineEdit(), u"Mine"_s);
        QTest::keyClick(box->lineEdit(), Qt::Key_Return);
        QVERIFY(button->isEnabled());
        window.fixture.env.ui.expectForm<frmSimType>(u"frmSimType"_s, [](frmSimType &d) {
            d.optSimType_Click(0);
            d.cmdOK_Click();
        });
        QTest::mouseClick(button, Qt::LeftButton);
        QVERIFY(window.fixture.env.ui.allShown());
        QCOMPARE(box->findText(u"Mine"_s), -1);
        QCOMPARE(box->currentText(), u"(Current)"_s);
        QVERIFY(!button->isEnabled());
    }

    // Menu entries whose captions differ from their command's in wording or case run that command,
    // and every entry and button is enabled exactly when its command can run.
    void menuEntriesRunTheirCommands()
    {
        Window window{Library()};
        QHash<QString, QAction *> entries;
        for (QAction *menu : window.view->menuBar()->actions()) {
            for (QAction *action : menu->menu()->actions())
                entries[action->text()] = action;
        }
        QCOMPARE(MainWindow::commandOf(entries.value(u"&Create Scenery.cfg"_s)),
                 Start::Command::CreateScenery);
        QCOMPARE(MainWindow::commandOf(entries.value(u"Install V1.5 Backup"_s)),
                 Start::Command::Install15Backup);
        QCOMPARE(MainWindow::commandOf(entries.value(u"&Move to level..."_s)), Start::Command::MoveToLevel);
        QCOMPARE(MainWindow::commandOf(entries.value(u"&Define hotkey"_s)), Start::Command::DefineHotkey);
        for (const QAction *action : window.view->toolBar()->actions() + entries.values()) {
            if (action->isSeparator() || action->menu())
                continue;
            const Start::Command command = MainWindow::commandOf(action);
            QVERIFY2(command != Start::Command::None, qPrintable(action->text()));
            QCOMPARE(action->isEnabled(), window.form->isCommandAvailable(command));
        }
    }

    // The details page, off until a scenery is shown, follows the node clicked, and edits go into
    // its record: a sim box changes FlySim, the author box completes to a listed spelling with the
    // caret after what was typed.
    void detailsFollowTheClickedNode()
    {
        Window window(inNew({u"Alpha"_s, u"Bravo"_s}, {0, 40}));
        QVERIFY(!window.child(u"fraScenery"_s)->isEnabled()); // no scenery shown yet
        QTreeView *tree = window.view->treeView();
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, window.centre(BravoKey));
        QVERIFY(window.child(u"fraScenery"_s)->isEnabled());
        QCOMPARE(window.child<QLineEdit>(u"txtTitle"_s)->text(), u"Bravo"_s);
        QCOMPARE(window.child<QLineEdit>(u"txtLayer"_s)->text(), u"234"_s);
        QCOMPARE(window.child<QComboBox>(u"cboSalesType"_s)->currentText(), u"Payware"_s);
        QVERIFY(window.child<QCheckBox>(u"chkType3"_s)->isChecked());
        QVERIFY(window.child<QCheckBox>(u"chkType5"_s)->isChecked());
        QCOMPARE(window.view->statusPanel(1)->text(), u"Bravo"_s);
        window.child(u"txtVersion"_s)->setFocus();
        QTest::keyClicks(window.child(u"txtVersion"_s), u"2.1"_s);
        QTest::mouseClick(window.child(u"chkType0"_s), Qt::LeftButton);
        QLineEdit *author = window.child<QComboBox>(u"txtAuthor"_s)->lineEdit();
        author->setFocus();
        QTest::keyClicks(author, u"ja"_s);
        QCOMPARE(author->cursorPosition(), 2);
        QCOMPARE(author->selectedText(), u"ne Roe"_s);
        const clsScenery &bravo = window.fixture.scenery(BravoKey);
        QCOMPARE(bravo.Version, u"2.1"_s);
        QCOMPARE(bravo.FlySim, qint16(41));
        QCOMPARE(bravo.Author, u"Jane Roe"_s);
        window.select(AlphaKey);
        QCOMPARE(window.child<QLineEdit>(u"txtTitle"_s)->text(), u"Alpha"_s);
        QCOMPARE(window.child<QComboBox>(u"txtAuthor"_s)->currentText(), u"Jane Roe"_s);
        QVERIFY(!window.child<QCheckBox>(u"chkType3"_s)->isChecked());
    }

    // An Exclude value that is not an area is kept all the same, and shown red until it is one.
    void excludeFieldRedUntilAnArea()
    {
        Window window(inNew({u"Alpha"_s}));
        window.select(AlphaKey);
        window.view->tabs()->setCurrentIndex(DetailsPanel::TabExcFlat);
        auto *exclude = window.child<QLineEdit>(u"txtExclude"_s);
        const auto red = [exclude] { return exclude->palette().color(QPalette::Text) == QColor(255, 0, 0); };
        exclude->setFocus();
        QTest::keyClicks(exclude, u"N47 30.00"_s);
        QVERIFY(red());
        QCOMPARE(window.fixture.scenery(AlphaKey).Exclude, u"N47 30.00"_s);
        QTest::keyClicks(exclude, u",W122 15.00,N47 00.00,W121 45.00,objects"_s);
        QVERIFY(!red());
    }

    // A set name typed into the set box is taken by Enter and by leaving the box; the keys go to
    // the combo, which has the focus. A new name makes a set with no box ticked.
    void typedSetNameTaken_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<Leaving>("leaving");
        QTest::addColumn<QString>("counted");
        QTest::addColumn<int>("offered");
        QTest::newRow("a set, Enter")
            << u"Evening"_s << Leaving::ByEnter << u"Sceneries in Set: 1 / 2"_s << 2;
        QTest::newRow("a new name, leaving")
            << u"Night"_s << Leaving::ByFocus << u"Sceneries in Set: 0 / 2"_s << 3;
    }
    void typedSetNameTaken()
    {
        QFETCH(QString, typed);
        QFETCH(Leaving, leaving);
        QFETCH(QString, counted);
        QFETCH(int, offered);
        Window window(inNew({u"Alpha"_s, u"Bravo"_s}).set(u"Evening"_s, Sim::FS2002, {u"Bravo"_s}),
                      Library().scenery(u"Alpha"_s));
        QComboBox *combo = window.view->setCombo();
        window.view->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.view.get()));
        combo->setFocus();
        combo->lineEdit()->selectAll();
        QTest::keyClicks(combo, typed);
        if (leaving == Leaving::ByEnter)
            QTest::keyClick(combo, Qt::Key_Return);
        else
            window.view->treeView()->setFocus();
        QCOMPARE(window.form->sets().displayedSet()->Key, typed);
        QCOMPARE(window.view->statusPanel(4)->text(), counted);
        QCOMPARE(combo->count(), offered);
        QCOMPARE(window.index(AlphaKey).data(Qt::CheckStateRole).toInt(), int(Qt::Unchecked));
    }

    // Taking the window down moves the focus out of the set box; the logic hears nothing of it.
    void closingWindowSaysNothingToTheLogic()
    {
        Window window(inNew({u"Alpha"_s}));
        window.view->setCombo()->setFocus();
        QSignalSpy heard(&window.form->status(), &WindowStatus::statusChanged);
        window.view.reset();
        QCOMPARE(heard.count(), 0);
    }

    // The whole gesture with the mouse: press on a scenery, move past the drag distance (the drag
    // starts and runs its own loop), move over the target and let go there.
    void mouseDragMovesScenery_data()
    {
        QTest::addColumn<bool>("onMoveToPage");
        QTest::newRow("library tree") << false;
        QTest::newRow("Move to page") << true;
    }
    void mouseDragMovesScenery()
    {
        QFETCH(bool, onMoveToPage);
        Window window(Library().scenery(u"Alpha"_s).level(u"Europe"_s).scenery(u"Berlin"_s).recordOrder());
        window.view->tabs()->setCurrentIndex(onMoveToPage ? DetailsPanel::TabMoveTo
                                                          : DetailsPanel::TabDetail);
        QTreeView *to = onMoveToPage ? window.view->moveToView() : window.view->treeView();
        const Tree &targets = onMoveToPage ? window.form->organiser().trvMoveTo() : window.form->trvScenery();
        const QModelIndex target =
            static_cast<TreeModel *>(to->model())->indexOf(targets.node(u"LevelEurope"_s));
        QWidget *viewport = window.view->treeView()->viewport();
        const QPoint from = window.centre(AlphaKey);
        const QPoint at = to->viewport()->mapTo(window.view.get(), to->visualRect(target).center());
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
        const QString moved = u"SceneryEurope\\Alpha"_s;
        QTRY_VERIFY2(window.fixture.node(moved), "the scenery is not where it should be");
        QVERIFY(!window.form->organiser().dragging());
        // The view shows the scenery where the logic put it.
        QCOMPARE(window.index(moved).parent().data(TreeModel::KeyRole).toString(), u"LevelEurope"_s);
    }

    void closingAsksOnce()
    {
        Window window(inNew({u"Alpha"_s}));
        QSignalSpy unloaded(window.form, &frmScenery::unloaded);
        window.fixture.env.ui.expectMessage(u"Do you want to save the changes to the database?"_s,
                                            u"Update Database"_s, UiPort::Answer::No);
        window.view->close();
        window.view->close();
        QVERIFY(window.fixture.env.ui.allShown());
        QCOMPARE(unloaded.count(), 1);
    }

    // The pop-up menu of a scenery offers the sets to add it to and to remove it from, "(Current)"
    // in neither; closed, the menu bar's "&Scenery" menu has no set entries.
    void popupMenuShowsSetEntries()
    {
        Window window(inNew({u"Alpha"_s})
                          .set(u"Evening"_s, Sim::FS2002, {u"Alpha"_s})
                          .set(u"Weekend"_s, Sim::FS2002, {}));
        window.select(AlphaKey);
        QStringList toAdd;
        QStringList toRemove;
        QTimer::singleShot(0, this, [&] {
            for (QAction *action : window.view->addToSetAction()->menu()->actions())
                toAdd << action->text();
            for (QAction *action : window.view->removeFromSetAction()->menu()->actions())
                toRemove << action->text();
            QVERIFY(window.view->addToSetAction()->isVisible());
            QVERIFY(window.view->addToSetAction()->isEnabled());
            QVERIFY(window.view->removeFromSetAction()->isEnabled());
            window.view->sceneryMenu()->close();
        });
        QTreeView *tree = window.view->treeView();
        emit tree->customContextMenuRequested(window.centre(AlphaKey));
        QCOMPARE(toAdd, QStringList{u"Weekend"_s});
        QCOMPARE(toRemove, QStringList{u"Evening"_s});
        QVERIFY(!window.view->addToSetAction()->isVisible());
        QVERIFY(!window.form->sets().setSubMenusVisible());
    }

    // A click on a node's box selects that node: the highlight and the panel show the same.
    void checkBoxClickSelectsTheNode()
    {
        Window window(inNew({u"Alpha"_s, u"Bravo"_s}));
        window.select(AlphaKey);
        QTreeView *tree = window.view->treeView();
        QStyleOptionViewItem option;
        option.initFrom(tree);
        option.rect = tree->visualRect(window.index(BravoKey));
        option.features = QStyleOptionViewItem::HasCheckIndicator | QStyleOptionViewItem::HasDisplay;
        const QRect box = tree->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, tree);
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, box.center());
        QCOMPARE(window.index(BravoKey).data(Qt::CheckStateRole).toInt(), int(Qt::Checked));
        QCOMPARE(window.currentKey(), BravoKey);
        QCOMPARE(window.child<QLineEdit>(u"txtTitle"_s)->text(), u"Bravo"_s);
    }

    // The splash is on screen while the library loads, and stays until the window has been
    // activated (or has waited for it in vain) and the splash has been seen.
    void splashShownWhileLoading()
    {
        WindowFixture fixture;
        fixture.write(Library());
        frmScenery &form = fixture.create();
        MainWindow view(form);
        bool onScreenWhileLoading = false;
        connect(&form, &frmScenery::splashChanged, this, [&] {
            const QWindow *splash = view.splashView()->windowHandle();
            if (form.splash().isVisible())
                onScreenWhileLoading = splash && splash->isExposed();
        });
        form.Form_Load();
        QVERIFY(onScreenWhileLoading);
        view.show();
        QVERIFY(view.splashView()->isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(!form.splash().isVisible(), MainWindow::ActivationWait + 1000);
        QTRY_VERIFY_WITH_TIMEOUT(!view.splashView()->isVisible(), SplashView::MinimumShown + 1000);
    }

    // At its minimum size the window shows all of every caption, label, tab, toolbar button and
    // the picture box.
    void nothingCutAtMinimumSize()
    {
        Window window(inNew({u"Alpha"_s}));
        window.select(AlphaKey);
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

    // Each toolbar button shows a picture of its own.
    void toolbarButtonsHaveTheirOwnPictures()
    {
        Window window{Library()};
        QImage blank(24, 24, QImage::Format_ARGB32_Premultiplied);
        blank.fill(Qt::transparent);
        QList<std::pair<QString, QImage>> seen{{u"an empty picture"_s, blank}};
        for (const QAction *action : window.view->toolBar()->actions()) {
            if (action->isSeparator())
                continue;
            QVERIFY2(!action->icon().isNull(), qPrintable(action->objectName()));
            const QImage image =
                action->icon().pixmap(24, 24).toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
            for (const auto &[name, picture] : std::as_const(seen))
                QVERIFY2(image != picture, qPrintable(action->objectName() + u" looks like "_s + name));
            seen.append({action->objectName(), image});
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
