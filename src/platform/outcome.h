#pragma once

#include "platform/lmerror.h"

#include <QList>
#include <QString>

#include <optional>

// One thing an operation went on past: the file as the user knows it, the line (1 the first; 0
// when the file as a whole is concerned), what happened, and the error it was met as, when it was
// one.
struct Problem
{
    QString file;
    int line = 0;
    QString text;
    std::optional<LmError> error;

    // "Lumivale.db5, line 12: <text>"
    QString describe() const;
};
using Problems = QList<Problem>;

// The problems one per line, the first `limit` of them, then how many more there are.
QString describeProblems(const Problems &problems, int limit = 10);

// How an operation ended. The operation may have told the user on its way; whoever called it
// decides from the outcome alone, so rewording a message changes no decision.
class Outcome
{
public:
    enum class Kind {
        Done,    // it did what was asked, perhaps going on past problems
        Refused, // the program would not do it, for reason(); nothing was changed
        Stopped, // the user declined or cancelled; nothing more was done
        Failed,  // error() stopped it; what was done before stays done
    };

    static Outcome done(Problems problems = {});
    static Outcome refused(QString reason);
    static Outcome stopped();
    // file: the file the failure concerns, Windows form, when there is one.
    static Outcome failed(LmError error, QString file = {});

    Kind kind() const { return m_kind; }
    bool isDone() const { return m_kind == Kind::Done; }
    bool isRefused() const { return m_kind == Kind::Refused; }
    bool isStopped() const { return m_kind == Kind::Stopped; }
    bool isFailed() const { return m_kind == Kind::Failed; }

    // Refused: why.
    const QString &reason() const { return m_reason; }
    // Failed: the number and description; the procedure that raised it, when known, as its source.
    const LmError &error() const { return m_error; }
    // Failed: the file concerned, "" when none is.
    const QString &file() const { return m_file; }

    // What the operation went on past, whatever its kind.
    Problems problems;

private:
    explicit Outcome(Kind kind) : m_kind(kind) {}

    Kind m_kind;
    QString m_reason;
    LmError m_error{0, QString()};
    QString m_file;
};
