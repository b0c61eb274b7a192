#include "platform/winereg.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringList>

namespace {

int hexDigit(QChar c)
{
    const ushort u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return -1;
}

// Reads an escaped text starting at pos and ending before the unescaped terminator; pos is left
// after the terminator. Wine escapes "\" and the quote, control characters by their C names,
// and characters outside ASCII as \x followed by up to four hex digits.
std::optional<QString> readEscaped(const QString &line, qsizetype &pos, QChar terminator)
{
    QString out;
    const qsizetype n = line.size();
    while (pos < n) {
        const QChar c = line.at(pos++);
        if (c == terminator)
            return out;
        if (c != QLatin1Char('\\')) {
            out.append(c);
            continue;
        }
        if (pos >= n)
            return std::nullopt;
        const QChar e = line.at(pos++);
        switch (e.unicode()) {
        case 'a': out.append(QChar(0x07)); break;
        case 'b': out.append(QChar(0x08)); break;
        case 'e': out.append(QChar(0x1b)); break;
        case 'f': out.append(QChar(0x0c)); break;
        case 'n': out.append(QChar(0x0a)); break;
        case 'r': out.append(QChar(0x0d)); break;
        case 't': out.append(QChar(0x09)); break;
        case 'v': out.append(QChar(0x0b)); break;
        case 'x': {
            int value = 0;
            int digits = 0;
            while (digits < 4 && pos < n && hexDigit(line.at(pos)) >= 0) {
                value = value * 16 + hexDigit(line.at(pos++));
                ++digits;
            }
            if (digits == 0)
                out.append(QLatin1Char('x'));
            else
                out.append(QChar(char16_t(value)));
            break;
        }
        default:
            if (e.unicode() >= '0' && e.unicode() <= '7') {
                int value = e.unicode() - '0';
                int digits = 1;
                while (digits < 3 && pos < n && line.at(pos).unicode() >= '0' && line.at(pos).unicode() <= '7') {
                    value = value * 8 + (line.at(pos++).unicode() - '0');
                    ++digits;
                }
                out.append(QChar(char16_t(value)));
            } else {
                out.append(e);  // "\\", "\"" and anything unknown stand for themselves
            }
        }
    }
    return std::nullopt;
}

} // namespace

WineRegistryFile::WineRegistryFile(QString hostPath) : m_hostPath(std::move(hostPath)) {}

QString WineRegistryFile::foldKey(const QString &keyPath)
{
    const QStringList parts = keyPath.split(QLatin1Char('\\'), Qt::SkipEmptyParts);
    return parts.join(QLatin1Char('\\')).toCaseFolded();
}

namespace {

// The key of a header line whose closing "]" is missing, as far as it can be read: its text
// without the modification time Wine writes after the key.
QString damagedHeaderKey(const QString &trimmed)
{
    QString text = trimmed.mid(1);
    static const QRegularExpression time(QStringLiteral("\\s+\\d+$"));
    text.remove(time);
    text.replace(QStringLiteral("\\\\"), QStringLiteral("\\"));
    return WineRegistryFile::foldKey(text);
}

bool isValueTypeStart(QStringView rest)
{
    for (const char *type : {"dword:", "hex:", "hex(", "str("}) {
        if (rest.startsWith(QLatin1String(type)))
            return true;
    }
    return false;
}

} // namespace

WineRegistryFile::Keys WineRegistryFile::parse(const QString &text, QList<DamagedLine> *damaged)
{
    Keys keys;
    Values *current = nullptr;
    QString currentKey;
    bool continuation = false;
    int number = 0;
    const auto damage = [&](const QString &key) {
        if (damaged)
            damaged->append(DamagedLine{number, key});
    };
    static const QRegularExpression lineEnd(QStringLiteral("\r\n|\n|\r"));
    const QStringList lines = text.split(lineEnd);
    for (const QString &line : lines) {
        ++number;
        if (continuation) {
            // The rest of a multi-line hex value; it ends on the line without a trailing "\".
            continuation = line.endsWith(QLatin1Char('\\'));
            continue;
        }
        const QString trimmed = line.trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith(QLatin1Char(';')) || trimmed.startsWith(QLatin1Char('#')))
            continue;
        if (trimmed.startsWith(QLatin1Char('['))) {
            qsizetype pos = 1;
            const auto key = readEscaped(trimmed, pos, QLatin1Char(']'));
            currentKey = key ? foldKey(*key) : QString();
            current = key ? &keys[currentKey] : nullptr;
            if (!key)
                damage(damagedHeaderKey(trimmed));
            continue;
        }
        if (!current) {
            // The header line and anything before the first key, or the lines of a key whose
            // header could not be read (that damage is counted once, at the header).
            continuation = trimmed.endsWith(QLatin1Char('\\'));
            continue;
        }
        QString name;
        qsizetype pos = 0;
        if (trimmed.startsWith(QLatin1Char('@'))) {
            pos = 1;
        } else if (trimmed.startsWith(QLatin1Char('"'))) {
            pos = 1;
            const auto parsed = readEscaped(trimmed, pos, QLatin1Char('"'));
            if (!parsed) {
                damage(currentKey);
                continue;
            }
            name = *parsed;
        } else {
            damage(currentKey);
            continuation = trimmed.endsWith(QLatin1Char('\\'));
            continue;
        }
        if (pos >= trimmed.size() || trimmed.at(pos) != QLatin1Char('=')) {
            damage(currentKey);
            continuation = trimmed.endsWith(QLatin1Char('\\'));
            continue;
        }
        ++pos;
        const QStringView rest = QStringView(trimmed).mid(pos);
        qsizetype start = -1;
        if (rest.startsWith(QLatin1Char('"')))
            start = pos + 1;
        else if (rest.startsWith(QLatin1String("str(2):\"")) || rest.startsWith(QLatin1String("str(1):\"")))
            start = pos + 8;
        if (start < 0) {
            // dword:, hex:, hex(7): ... are not strings; a hex value may continue on the next lines.
            if (!isValueTypeStart(rest))
                damage(currentKey);
            continuation = trimmed.endsWith(QLatin1Char('\\'));
            continue;
        }
        qsizetype valuePos = start;
        const auto value = readEscaped(trimmed, valuePos, QLatin1Char('"'));
        if (value)
            current->insert(name.toCaseFolded(), *value);
        else
            damage(currentKey);
    }
    return keys;
}

void WineRegistryFile::refresh() const
{
    const QFileInfo info(m_hostPath);
    if (!info.exists()) {
        m_present = false;
        m_unreadable = false;
        m_keys.clear();
        m_damaged.clear();
        m_size = -1;
        m_modified = {};
        return;
    }
    const qint64 size = info.size();
    const QDateTime modified = info.lastModified();
    if (m_present && size == m_size && modified == m_modified)
        return;
    QFile file(m_hostPath);
    const bool opened = file.open(QIODevice::ReadOnly);
    const QByteArray bytes = opened ? file.readAll() : QByteArray();
    m_unreadable = !opened || file.error() != QFileDevice::NoError;
    m_damaged.clear();
    m_keys = m_unreadable ? Keys() : parse(QString::fromUtf8(bytes), &m_damaged);
    m_present = !m_unreadable;
    m_size = size;
    m_modified = modified;
}

std::optional<QString> WineRegistryFile::value(const QString &keyPath, const QString &valueName) const
{
    refresh();
    const auto key = m_keys.constFind(foldKey(keyPath));
    if (key == m_keys.cend())
        return std::nullopt;
    const auto value = key->constFind(valueName.toCaseFolded());
    if (value == key->cend())
        return std::nullopt;
    return *value;
}

QString WineRegistryFile::damage(const QString &keyPath) const
{
    refresh();
    if (m_unreadable)
        return QStringLiteral("%1 could not be read").arg(m_hostPath);
    const QString key = foldKey(keyPath);
    for (const DamagedLine &damaged : std::as_const(m_damaged)) {
        if (damaged.key == key)
            return QStringLiteral("line %1 of %2 is damaged").arg(damaged.line).arg(m_hostPath);
    }
    return {};
}

bool WineRegistryFile::hasKey(const QString &keyPath) const
{
    refresh();
    return m_keys.contains(foldKey(keyPath));
}
