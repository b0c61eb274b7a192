#include "platform/outcome.h"

#include <QStringList>

QString Problem::describe() const
{
    const QString where = line > 0 ? QStringLiteral("%1, line %2").arg(file, QString::number(line)) : file;
    return where + QStringLiteral(": ") + text;
}

QString describeProblems(const Problems &problems, int limit)
{
    QStringList lines;
    for (qsizetype i = 0; i < problems.size() && i < limit; ++i)
        lines << problems.at(i).describe();
    if (problems.size() > limit)
        lines << QStringLiteral("... and %1 more.").arg(problems.size() - limit);
    return lines.join(QStringLiteral("\r\n"));
}

Outcome Outcome::done(Problems problems)
{
    Outcome outcome(Kind::Done);
    outcome.problems = std::move(problems);
    return outcome;
}

Outcome Outcome::refused(QString reason)
{
    Outcome outcome(Kind::Refused);
    outcome.m_reason = std::move(reason);
    return outcome;
}

Outcome Outcome::stopped()
{
    return Outcome(Kind::Stopped);
}

Outcome Outcome::failed(LmError error, QString file)
{
    Outcome outcome(Kind::Failed);
    outcome.m_error = std::move(error);
    outcome.m_file = std::move(file);
    return outcome;
}
