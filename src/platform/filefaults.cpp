#include "platform/filefaults.h"

#include <QFileInfo>

namespace {
FileFaultPlan *activePlan = nullptr;
}

bool FileFaults::strikes(FileStep step, const QString &hostPath)
{
    return activePlan && activePlan->take(step, hostPath);
}

std::optional<qint64> FileFaults::plannedFreeBytes()
{
    return activePlan ? activePlan->m_freeBytes : std::nullopt;
}

QString FileFaults::stepName(FileStep step)
{
    switch (step) {
    case FileStep::Write:
        return QStringLiteral("write");
    case FileStep::Flush:
        return QStringLiteral("flush");
    case FileStep::Commit:
        return QStringLiteral("commit");
    case FileStep::Rename:
        return QStringLiteral("rename");
    case FileStep::Copy:
        return QStringLiteral("copy");
    case FileStep::Read:
        return QStringLiteral("read");
    }
    return {};
}

FileFaultPlan::FileFaultPlan()
{
    Q_ASSERT(!activePlan);
    activePlan = this;
}

FileFaultPlan::~FileFaultPlan()
{
    activePlan = nullptr;
}

void FileFaultPlan::failAt(FileStep step, int n, const QString &fileName)
{
    m_failStep = step;
    m_failAt = n;
    m_fileName = fileName;
    m_counted = 0;
    m_struck = false;
    m_persistent = false;
}

void FileFaultPlan::failFrom(FileStep step, int n, const QString &fileName)
{
    failAt(step, n, fileName);
    m_persistent = true;
}

bool FileFaultPlan::take(FileStep step, const QString &hostPath)
{
    m_seen.append(Step{step, hostPath});
    if ((m_struck && !m_persistent) || m_failStep != step)
        return false;
    if (!m_fileName.isEmpty() && QFileInfo(hostPath).fileName().compare(m_fileName, Qt::CaseInsensitive) != 0)
        return false;
    if (++m_counted < m_failAt)
        return false;
    m_struck = true;
    return true;
}
