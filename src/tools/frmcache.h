#pragma once

#include "library/records.h"
#include "platform/appcontext.h"
#include "platform/outcome.h"

#include <QString>

#include <functional>

class SceneryManager;

// The cache manager: Flight Simulator 2002's texture cache entries, one at a time by their number.
// Position p (1 to the number of entries) shows the p-th entry in number order: the entry numbered
// p - 1 as the program numbers them, and every entry also of a file numbered from 1 or with gaps.
// Every edit goes into the entry at once; there is no cancel. Without any entry the fields are
// empty and disabled.
class frmCache : public FormLogic
{
public:
    explicit frmCache(SceneryManager &manager);

    QString formName() const override { return QStringLiteral("frmCache"); }
    QString caption() const { return QStringLiteral("Manage Cache Entries"); }
    // The buttons step through the entries: cmdDown to the previous number, cmdUp to the next.
    static QString cmdDownCaption() { return QStringLiteral("< &Previous"); }
    static QString cmdUpCaption() { return QStringLiteral("&Next >"); }

    void Form_Load();
    // Shows the entry at the current position.
    void Display();
    void cmdUp_Click();
    void cmdDown_Click();
    void cmdOk_Click() { visible = false; }
    // Closing drops the reference to the entry shown.
    void Form_Unload() { m_current.reset(); }

    void txtTitle_Change(const QString &text);
    void txtLocal_Change(const QString &text);
    void txtRemote_Change(const QString &text);
    void chkActive_Click(bool checked);

    CachePtr currentEntry() const { return m_current; }
    int count() const;

    int position = 1;
    QString txtTitle;
    QString txtLocal;
    QString txtRemote;
    QString txtLayer;
    bool chkActive = false;
    bool fieldsEnabled = false;
    bool cmdUpEnabled = false;
    bool cmdDownEnabled = false;
    bool visible = true;

private:
    SceneryManager &m_manager;
    CachePtr m_current;
};

// The "Cache" command: only for Flight Simulator 2002 (the others get a message); a library
// without cache entries says so instead of opening an empty dialog. Refused in both cases.
Outcome mnuCache_Click(AppContext &context, SceneryManager &manager,
                       const std::function<void(const QString &)> &display);
