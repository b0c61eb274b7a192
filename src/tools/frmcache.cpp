#include "tools/frmcache.h"

#include "library/scenerymanager.h"

#include <algorithm>

frmCache::frmCache(SceneryManager &manager) : m_manager(manager) {}

int frmCache::count() const
{
    return int(m_manager.colCache.count());
}

void frmCache::Form_Load()
{
    position = 1;
    Display();
}

void frmCache::Display()
{
    // Position p is the p-th entry by number: the entry numbered p - 1 when the numbers run from
    // 0 without gaps, as the program writes them. A file from elsewhere may start at 1 or skip a
    // number; every entry stays within reach all the same, each showing its own number.
    QList<CachePtr> byNumber;
    for (const CachePtr &entry : m_manager.colCache)
        byNumber.append(entry);
    std::stable_sort(byNumber.begin(), byNumber.end(),
                     [](const CachePtr &a, const CachePtr &b) { return a->intCache < b->intCache; });
    m_current = position >= 1 && position <= byNumber.size() ? byNumber.at(position - 1) : CachePtr();
    fieldsEnabled = bool(m_current);
    if (m_current) {
        txtTitle = m_current->strTitle;
        chkActive = m_current->blnActive;
        txtLayer = (QStringLiteral("000") + QString::number(m_current->intCache)).right(3);
        txtLocal = m_current->strLocal;
        txtRemote = m_current->strRemote;
    } else {
        txtTitle.clear();
        chkActive = false;
        txtLayer.clear();
        txtLocal.clear();
        txtRemote.clear();
    }
    cmdDownEnabled = position != 1;
    cmdUpEnabled = position < count();
}

void frmCache::cmdUp_Click()
{
    if (position < count())
        ++position;
    Display();
}

void frmCache::cmdDown_Click()
{
    if (position > 1)
        --position;
    Display();
}

void frmCache::txtTitle_Change(const QString &text)
{
    txtTitle = text;
    if (m_current)
        m_current->strTitle = text;
}

void frmCache::txtLocal_Change(const QString &text)
{
    txtLocal = text;
    if (m_current)
        m_current->strLocal = text;
}

void frmCache::txtRemote_Change(const QString &text)
{
    txtRemote = text;
    if (m_current)
        m_current->strRemote = text;
}

void frmCache::chkActive_Click(bool checked)
{
    chkActive = checked;
    if (m_current)
        m_current->blnActive = checked;
}

Outcome mnuCache_Click(AppContext &context, SceneryManager &manager,
                       const std::function<void(const QString &)> &display)
{
    display(QStringLiteral("Manage the cache entry."));
    Outcome outcome = Outcome::done();
    if (manager.SimType != 1) {
        const QString text = QStringLiteral("The cache manager is only accessable for FS2002");
        context.ui.inform(text, QStringLiteral("Info"), UiPort::Icon::Information);
        outcome = Outcome::refused(text);
    } else if (manager.colCache.count() == 0) {
        // An empty dialog would only show blank fields that take no edits.
        const QString text = QStringLiteral("The library holds no cache entries. They are read from the "
                                            "[Cache] sections of Flight Simulator 2002's Scenery.cfg.");
        context.ui.inform(text, QStringLiteral("Info"), UiPort::Icon::Information);
        outcome = Outcome::refused(text);
    } else {
        frmCache dialog(manager);
        dialog.Form_Load();
        context.ui.showModal(dialog);
        dialog.Form_Unload();
    }
    display(QStringLiteral("Ready."));
    return outcome;
}
