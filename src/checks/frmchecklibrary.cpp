#include "checks/frmchecklibrary.h"

#include <QHash>

frmCheckLibrary::frmCheckLibrary(Check check, ShowScenery show, QStringList sets, QObject *parent)
    : QObject(parent), m_check(std::move(check)), m_show(std::move(show))
{
    cboScopeItems = QStringList{wholeLibrary()} + sets;
}

QString frmCheckLibrary::kindCaption(const QString &kind)
{
    static const QHash<QString, QString> captions{
        {LibraryCheck::MissingFolder, QStringLiteral("Folder missing")},
        {LibraryCheck::NoSceneryFolder, QStringLiteral("No Scenery folder")},
        {LibraryCheck::NoBglFile, QStringLiteral("No BGL file")},
        {LibraryCheck::DuplicateTitle, QStringLiteral("Same title")},
        {LibraryCheck::Conflict, QStringLiteral("Conflict")},
        {LibraryCheck::TooManySceneries, QStringLiteral("Too many sceneries")},
        {LibraryCheck::FileTooLarge, QStringLiteral("Scenery.cfg too long")},
        {LibraryCheck::UnmappedDrive, QStringLiteral("Drive not mapped")},
        {LibraryCheck::LayerOrder, QStringLiteral("Layer order")},
        {LibraryCheck::BadExclude, QStringLiteral("Wrong Exclude")},
        {LibraryCheck::BadFlatten, QStringLiteral("Wrong Flatten")},
    };
    return captions.value(kind, kind);
}

void frmCheckLibrary::Form_Load()
{
    visible = true;
    check();
}

void frmCheckLibrary::cboScope_Click(int index)
{
    if (index < 0 || index >= cboScopeItems.size() || index == cboScopeIndex)
        return;
    cboScopeIndex = index;
    check();
}

void frmCheckLibrary::lvwFindings_DblClick(int row)
{
    if (row < 0 || row >= findings.size() || findings.at(row).key.isEmpty())
        return;
    m_show(findings.at(row).key);
}

void frmCheckLibrary::cmdClose_Click()
{
    visible = false;
    emit closed();
}

void frmCheckLibrary::check()
{
    if (m_checking)
        return;
    m_checking = true;
    const QStringList sets =
        cboScopeIndex == 0 ? QStringList() : QStringList{cboScopeItems.at(cboScopeIndex)};
    findings = m_check(sets);
    m_checking = false;
    lblSummary = findings.isEmpty()     ? QStringLiteral("Nothing found.")
                 : findings.size() == 1 ? QStringLiteral("1 finding.")
                                        : QStringLiteral("%1 findings.").arg(findings.size());
    emit findingsChanged();
}
