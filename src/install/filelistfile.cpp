#include "install/filelistfile.h"

#include "library/vbconvert.h"
#include "platform/filesystem.h"
#include "platform/lmerror.h"

namespace {
// Error 5, what splitting a line that lacks its separator has always failed with.
constexpr qint32 InvalidCall = 5;

QString field(const QString &key, const QString &value)
{
    // A value holding a line break would split its line and shift every line after it.
    return key + QLatin1Char('=') + TextLines::singleLine(value);
}
} // namespace

namespace FileListFile {

QString entryLine(const FileListEntry &entry)
{
    return TextLines::singleLine(entry.File + QLatin1Char('=') + entry.Destination + QLatin1Char('!') +
                                 entry.Source);
}

std::optional<FileListEntry> parseEntryLine(const QString &line)
{
    const qsizetype equals = line.indexOf(QLatin1Char('='));
    if (equals < 0)
        return std::nullopt;
    const QString rest = line.mid(equals + 1);
    const qsizetype bang = rest.indexOf(QLatin1Char('!'));
    if (bang < 0)
        return std::nullopt;
    return FileListEntry{line.left(equals), rest.left(bang), rest.mid(bang + 1)};
}

QStringList lines(const clsScenery &record, const FileList &entries)
{
    QStringList out;
    out << Header;
    out << field(QStringLiteral("Texture_ID"), QString::number(record.Texture_ID));
    out << field(QStringLiteral("Group"), record.Group);
    out << field(QStringLiteral("ID"), record.ID);
    out << field(QStringLiteral("GroupId"), QString::number(record.GroupID));
    out << field(QStringLiteral("Author"), record.Author);
    out << field(QStringLiteral("Comment"), record.Comment);
    out << field(QStringLiteral("FlySim"), QString::number(record.FlySim));
    out << field(QStringLiteral("SalesType"), QString::number(record.SalesType));
    out << field(QStringLiteral("Version"), record.Version);
    if (!record.Exclude.isEmpty())
        out << field(QStringLiteral("Exclude"), record.Exclude);
    for (qint16 n = 0; n < clsScenery::FlattenCount; ++n) {
        if (!record.Flatten(n).isEmpty())
            out << field(QStringLiteral("Flatten.%1").arg(n), record.Flatten(n));
    }
    out << EntriesHeader;
    for (const FileListEntry &entry : entries)
        out << entryLine(entry);
    return out;
}

} // namespace FileListFile

Outcome FileListWriter::write(const QString &path, const clsScenery &record, const FileList &entries)
{
    try {
        m_fs.writeLines(path, FileListFile::lines(record, entries));
    } catch (const LmError &e) {
        return Outcome::failed(e, path);
    }
    return Outcome::done();
}

Outcome FileListReader::read(const QString &path)
{
    m_found = false;
    m_entries.clear();
    m_fields.clear();
    if (!m_fs.fileExists(path))
        return Outcome::done();
    QStringList lines;
    try {
        lines = m_fs.readLines(path);
    } catch (const LmError &e) {
        return Outcome::failed(e, path);
    }
    m_found = true;
    Problems problems;
    bool inEntries = false;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString &line = lines.at(i);
        if (inEntries) {
            const auto entry = FileListFile::parseEntryLine(line);
            if (!entry) {
                return Outcome::failed(
                    LmError(InvalidCall, QStringLiteral("Line %1 of %2 is not File=Destination!Source: %3")
                                             .arg(i + 1)
                                             .arg(path, line)),
                    path);
            }
            m_entries << *entry;
        } else if (line == FileListFile::EntriesHeader) {
            inEntries = true;
        } else if (i > 0) {
            const qsizetype equals = line.indexOf(QLatin1Char('='));
            if (equals < 0)
                problems << Problem{
                    path, int(i + 1), QStringLiteral("no \"=\" in the line: %1").arg(line), {}};
            else
                m_fields << qMakePair(line.left(equals), line.mid(equals + 1));
        }
    }
    return Outcome::done(problems);
}

void FileListReader::applyFields(clsScenery &record) const
{
    for (const auto &[key, value] : m_fields) {
        if (key == QLatin1String("Texture_ID"))
            record.Texture_ID = VbConvert::textToInt16(value);
        else if (key == QLatin1String("GroupId"))
            record.GroupID = VbConvert::textToInt16(value);
        else if (key == QLatin1String("FlySim"))
            record.FlySim = VbConvert::textToInt16(value);
        else if (key == QLatin1String("SalesType"))
            record.SalesType = VbConvert::textToInt16(value);
        else if (key == QLatin1String("Group"))
            record.Group = value;
        else if (key == QLatin1String("ID"))
            record.ID = value;
        else if (key == QLatin1String("Author"))
            record.Author = value;
        else if (key == QLatin1String("Comment"))
            record.Comment = value;
        else if (key == QLatin1String("Version"))
            record.Version = value;
        else if (key == QLatin1String("Exclude"))
            record.Exclude = value;
        else if (key.startsWith(QLatin1String("Flatten.")) && key.size() == 9 && key.at(8).isDigit() &&
                 key.at(8).unicode() < 128)
            record.setFlatten(qint16(key.at(8).digitValue()), value);
    }
}
