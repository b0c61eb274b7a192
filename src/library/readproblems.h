#pragma once

#include <QList>
#include <QString>

// One thing a reading could not take in as it stood: the file as the user knows it, the line
// (1 the first; 0 when the file as a whole is concerned) and what happened.
struct ReadProblem
{
    QString file;
    int line = 0;
    QString text;

    // "Lumivale.db5, line 12: <text>"
    QString describe() const;
};
using ReadProblems = QList<ReadProblem>;

// The problems one per line, the first `limit` of them, then how many more there are.
QString describeProblems(const ReadProblems &problems, int limit = 10);
