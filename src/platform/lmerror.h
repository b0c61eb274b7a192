#pragma once

#include <QString>

#include <exception>

// A failure as the program reports it: a number, a description and the procedure that raised it.
// Numbers follow the classic runtime numbering (53 file not found, 457 duplicate key, ...) and the
// program's own errors sit on the user error base, so messages read the way users of the earlier
// versions know them.
class LmError : public std::exception
{
public:
    enum Number : qint32 {
        Overflow = 6,
        SubscriptOutOfRange = 9,
        TypeMismatch = 13,
        BadFileName = 52,
        FileNotFound = 53,
        FileAlreadyExists = 58,
        DiskFull = 61,
        PermissionDenied = 70,
        PathFileAccess = 75,
        PathNotFound = 76,
        DuplicateKey = 457,
        ChooserCancelled = 32755,
    };
    static constexpr qint32 UserBase = -2147221504;

    LmError(qint32 number, QString description, QString source = {});

    // The error with its usual description ("File not found", "Path not found", ...).
    static LmError standard(qint32 number, const QString &detail = {});
    // An error of the program's own, numbered from the user error base.
    static LmError user(qint32 offset, const QString &description, const QString &source = {});

    qint32 number() const { return m_number; }
    const QString &description() const { return m_description; }
    const QString &source() const { return m_source; }
    const char *what() const noexcept override { return m_what.constData(); }

    static QString standardDescription(qint32 number);

private:
    qint32 m_number;
    QString m_description;
    QString m_source;
    QByteArray m_what;
};
