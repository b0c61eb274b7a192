#include "library/readproblems.h"

#include <QStringList>

QString ReadProblem::describe() const
{
    const QString where = line > 0 ? QStringLiteral("%1, line %2").arg(file, QString::number(line)) : file;
    return where + QStringLiteral(": ") + text;
}

QString describeProblems(const ReadProblems &problems, int limit)
{
    QStringList lines;
    for (qsizetype i = 0; i < problems.size() && i < limit; ++i)
        lines << problems.at(i).describe();
    if (problems.size() > limit)
        lines << QStringLiteral("... and %1 more.").arg(problems.size() - limit);
    return lines.join(QStringLiteral("\r\n"));
}
