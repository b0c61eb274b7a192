#pragma once

#include <QList>
#include <QString>

#include <optional>

// The steps at which working on a disk can go wrong. Every write path of the platform layer (the
// atomic writer and what is built on it, copy, move and rename, the archive writer) and the
// reading of a whole file pass each of their steps through FileFaults::strikes() before taking
// it, so that a test can make exactly one of them fail the way a full or failing disk does and
// then check that nothing was lost.
enum class FileStep {
    Write,  // one piece of a file's content written (a failing one: the disk is full)
    Flush,  // the written content handed to the disk
    Commit, // a finished file put in the place of the old one
    Rename, // a file or folder moved or renamed
    Copy,   // a file copied (its own writes, flush and commit follow)
    Read,   // a whole file read (a failing one: the disk cannot give it back)
};

namespace FileFaults {

// Whether this step on the file (host path) fails now. Counts the step for the active plan; always
// false when no plan is active, which is the case outside tests.
bool strikes(FileStep step, const QString &hostPath);
// The free bytes the active plan makes every volume report, if it sets any.
std::optional<qint64> plannedFreeBytes();

QString stepName(FileStep step);

} // namespace FileFaults

// A plan of file faults, active while it exists. Only one plan is active at a time; file
// operations run on one thread.
//
// A test either plans a fault ("the second write to Scenery.cfg fails") or first runs an
// operation under a plan without faults, reads from seen() every step it takes, and then runs it
// again once per step with that step failing.
class FileFaultPlan
{
public:
    struct Step
    {
        FileStep step;
        QString hostPath;
    };

    FileFaultPlan();
    ~FileFaultPlan();
    FileFaultPlan(const FileFaultPlan &) = delete;
    FileFaultPlan &operator=(const FileFaultPlan &) = delete;

    // The n-th step of this kind, counted from 1 while the plan is active, fails. With a file name,
    // only steps on files of that name (letter case ignored) are counted.
    void failAt(FileStep step, int n, const QString &fileName = {});
    // The same, and every later step of the kind fails too: a file that cannot be read, a folder
    // that takes no files, a disk that stays full.
    void failFrom(FileStep step, int n, const QString &fileName = {});
    // Every volume reports this many free bytes.
    void setFreeBytes(qint64 bytes) { m_freeBytes = bytes; }

    // Every step taken so far, in order.
    const QList<Step> &seen() const { return m_seen; }
    // Whether the planned fault happened.
    bool struck() const { return m_struck; }

private:
    friend bool FileFaults::strikes(FileStep, const QString &);
    friend std::optional<qint64> FileFaults::plannedFreeBytes();

    bool take(FileStep step, const QString &hostPath);

    std::optional<FileStep> m_failStep;
    int m_failAt = 0;
    QString m_fileName;
    int m_counted = 0;
    bool m_struck = false;
    bool m_persistent = false;
    std::optional<qint64> m_freeBytes;
    QList<Step> m_seen;
};
