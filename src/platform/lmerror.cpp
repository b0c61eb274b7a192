#include "platform/lmerror.h"

LmError::LmError(qint32 number, QString description, QString source)
    : m_number(number), m_description(std::move(description)), m_source(std::move(source)),
      m_what(QStringLiteral("%1: %2").arg(m_number).arg(m_description).toUtf8())
{
}

LmError LmError::standard(qint32 number, const QString &detail)
{
    QString text = standardDescription(number);
    if (!detail.isEmpty())
        text += QStringLiteral(" (%1)").arg(detail);
    return LmError(number, text);
}

LmError LmError::user(qint32 offset, const QString &description, const QString &source)
{
    return LmError(UserBase + offset, description, source);
}

QString LmError::standardDescription(qint32 number)
{
    switch (number) {
    case Overflow: return QStringLiteral("Overflow");
    case SubscriptOutOfRange: return QStringLiteral("Subscript out of range");
    case TypeMismatch: return QStringLiteral("Type mismatch");
    case BadFileName:
        return QStringLiteral("Bad file name or number");
    case FileNotFound: return QStringLiteral("File not found");
    case FileAlreadyExists: return QStringLiteral("File already exists");
    case DiskFull: return QStringLiteral("Disk full");
    case PermissionDenied: return QStringLiteral("Permission denied");
    case PathFileAccess: return QStringLiteral("Path/File access error");
    case PathNotFound: return QStringLiteral("Path not found");
    case DuplicateKey: return QStringLiteral("This key is already associated with an element of this collection");
    case ChooserCancelled: return QStringLiteral("Cancel was selected.");
    default: return QStringLiteral("Application-defined or object-defined error");
    }
}
