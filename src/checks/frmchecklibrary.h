#pragma once

#include "checks/librarycheck.h"
#include "platform/uiport.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

// The dialog "Check library": the findings of the library check, one row each, for the whole
// library or for one set as it would be written. A double click on a row shows its scenery in
// the library tree. The caller gives it the check to run and the way to show a scenery.
class frmCheckLibrary : public QObject, public FormLogic
{
    Q_OBJECT
public:
    // Runs the check; setNames empty for the whole library.
    using Check = std::function<QList<CheckFinding>(const QStringList &setNames)>;
    // Shows the scenery of a key in the tree; false when the tree has no node for it.
    using ShowScenery = std::function<bool(const QString &key)>;

    // sets: the sets offered as a scope besides the whole library.
    frmCheckLibrary(Check check, ShowScenery show, QStringList sets, QObject *parent = nullptr);

    QString formName() const override { return QStringLiteral("frmCheckLibrary"); }
    static QString caption() { return QStringLiteral("Check library"); }
    static QString wholeLibrary() { return QStringLiteral("The whole library"); }
    // The words a row shows for a kind.
    static QString kindCaption(const QString &kind);

    // Checks the scope chosen.
    void Form_Load();
    void cboScope_Click(int index);
    // The row's scenery selected in the tree; a row about sets has none.
    void lvwFindings_DblClick(int row);
    void cmdClose_Click();

    // The scope box: "The whole library", then the sets.
    QStringList cboScopeItems;
    int cboScopeIndex = 0;
    QList<CheckFinding> findings;
    // The line under the list: how many findings, or that there are none.
    QString lblSummary;
    bool visible = true;

signals:
    void findingsChanged();
    void closed();

private:
    void check();

    Check m_check;
    ShowScenery m_show;
    // The check lets window events run; a scope picked meanwhile waits for the next pick.
    bool m_checking = false;
};
