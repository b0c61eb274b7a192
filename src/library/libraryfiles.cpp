#include "library/libraryfiles.h"

#include "library/scenerymanager.h"
#include "library/vbconvert.h"
#include "platform/filesystem.h"

#include <QSet>
#include <QStringList>

#include <cmath>
#include <cstring>
#include <functional>
#include <optional>
#include <vector>

using TextLines::singleLine;

namespace {

QString truthText(bool value)
{
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

// What a line of "Lumivale.db5" is.
enum class LineKind { Header, Start, End, Value };

bool isSceneryEnd(QStringView line)
{
    return line.compare(QLatin1String("</SCENERY>"), Qt::CaseInsensitive) == 0;
}

qint16 leadingInt16(const QString &text)
{
    return VbConvert::toInt16(VbConvert::leadingValue(text));
}

bool isAscii(QByteArrayView bytes)
{
    const char *p = bytes.data();
    qsizetype n = bytes.size();
    for (; n >= 8; p += 8, n -= 8) {
        quint64 word;
        std::memcpy(&word, p, 8);
        if (word & 0x8080808080808080ULL)
            return false;
    }
    for (; n > 0; ++p, --n) {
        if (uchar(*p) >= 0x80)
            return false;
    }
    return true;
}

// A library file's bytes, walked a line at a time. Lines are found and keys matched on the bytes;
// only the values kept become text, decoded as FileSystem::readLines decodes the whole file (the
// code page is one byte a character, and in UTF-8 no byte of a longer character is a line end or
// "="), so the file is never held as text beside its bytes.
class FileBytes
{
public:
    FileBytes(const FileSystem &fs, const QString &path) : m_bytes(fs.readAll(path))
    {
        static const QByteArray utf8Mark("\xEF\xBB\xBF");
        if (m_bytes.startsWith(utf8Mark)) {
            m_utf8 = true;
            m_pos = utf8Mark.size();
        }
    }

    // The next line, without its end (CR, LF or CR LF); false after the last. ascii: the line has
    // no byte outside plain ASCII, so its bytes are its characters.
    bool nextLine(QByteArrayView &line, bool &ascii)
    {
        const char *data = m_bytes.constData();
        const qsizetype size = m_bytes.size();
        if (m_pos >= size)
            return false;
        const char *start = data + m_pos;
        const char *end = data + size;
        // The usual line ends in LF (CR LF); a lone CR ends one too.
        const char *lf = static_cast<const char *>(std::memchr(start, '\n', size_t(end - start)));
        const char *stop = lf ? lf : end;
        const char *cr = static_cast<const char *>(std::memchr(start, '\r', size_t(stop - start)));
        const char *lineEnd = cr ? cr : stop;
        line = QByteArrayView(start, lineEnd - start);
        ascii = isAscii(line);
        const char *next = lineEnd;
        if (next < end)
            next += (*next == '\r' && next + 1 < end && next[1] == '\n') ? 2 : 1;
        m_pos = next - data;
        return true;
    }

    // Bytes of a line as text.
    QString text(QByteArrayView bytes) const
    {
        if (m_utf8)
            return QString::fromUtf8(bytes);
        for (const char c : bytes) {
            if (uchar(c) >= 0x80 && uchar(c) <= 0x9F)
                return Cp1252::decode(bytes.toByteArray());
        }
        return QString::fromLatin1(bytes); // the code page is Latin-1 outside 80-9F
    }

private:
    QByteArray m_bytes;
    qsizetype m_pos = 0;
    bool m_utf8 = false;
};

// The values of a "Lumivale.db5" block by name; the bit of each in a block's given values.
enum SceneryField {
    FieldActive,
    FieldIsLocalPath,
    FieldRequired,
    FieldAuthor,
    FieldComment,
    FieldExclude,
    FieldID,
    FieldKey,
    FieldLocalPath,
    FieldPreviousKey,
    FieldRemotePath,
    FieldTitle,
    FieldVersion,
    FieldLayer,
    FieldSalesType,
    FieldTexture_ID,
    FieldGroupID,
    FieldGroup,
    FieldFlySim,
    FieldFlatten0, // ... to FieldFlatten0 + 9
};

struct FieldName
{
    QLatin1String name;
    SceneryField field;
};
const FieldName SceneryFieldNames[] = {
    {QLatin1String("Active"), FieldActive},
    {QLatin1String("IsLocalPath"), FieldIsLocalPath},
    {QLatin1String("Required"), FieldRequired},
    {QLatin1String("Author"), FieldAuthor},
    {QLatin1String("Comment"), FieldComment},
    {QLatin1String("Exclude"), FieldExclude},
    {QLatin1String("ID"), FieldID},
    {QLatin1String("Key"), FieldKey},
    {QLatin1String("LocalPath"), FieldLocalPath},
    {QLatin1String("PreviousKey"), FieldPreviousKey},
    {QLatin1String("RemotePath"), FieldRemotePath},
    {QLatin1String("Title"), FieldTitle},
    {QLatin1String("Version"), FieldVersion},
    {QLatin1String("Layer"), FieldLayer},
    {QLatin1String("SalesType"), FieldSalesType},
    {QLatin1String("Texture_ID"), FieldTexture_ID},
    {QLatin1String("GroupID"), FieldGroupID},
    {QLatin1String("Group"), FieldGroup},
    {QLatin1String("FlySim"), FieldFlySim},
};

bool isAscii(QStringView text)
{
    for (QChar c : text) {
        if (c.unicode() >= 0x80)
            return false;
    }
    return true;
}

char16_t unit(QChar c)
{
    return c.unicode();
}
char16_t unit(char c)
{
    return char16_t(uchar(c));
}

// Letter case aside, for a key of plain ASCII (the only kind sceneryField is given), as text or as
// the bytes of a line.
template<typename View> bool sameAsciiName(View key, QLatin1String name)
{
    if (key.size() != name.size())
        return false;
    for (qsizetype i = 0; i < key.size(); ++i) {
        char16_t c = unit(key[i]);
        char16_t n = char16_t(uchar(name.data()[i]));
        if (c >= u'A' && c <= u'Z')
            c += u'a' - u'A';
        if (n >= u'A' && n <= u'Z')
            n += u'a' - u'A';
        if (c != n)
            return false;
    }
    return true;
}

// Exactly the name, letter case included.
template<typename View> bool sameName(View key, QLatin1String name)
{
    if (key.size() != name.size())
        return false;
    for (qsizetype i = 0; i < key.size(); ++i) {
        if (unit(key[i]) != char16_t(uchar(name.data()[i])))
            return false;
    }
    return true;
}

// The named value a key of plain ASCII stands for, letter case aside; -1 for any other key.
template<typename View> int sceneryField(View key)
{
    if (key.size() == 9 && sameAsciiName(key.first(8), QLatin1String("Flatten."))) {
        const char16_t d = unit(key[8]);
        return d >= u'0' && d <= u'9' ? FieldFlatten0 + (d - u'0') : -1;
    }
    // The writer's own spelling first: it is what nearly every file holds.
    for (const FieldName &f : SceneryFieldNames) {
        if (sameName(key, f.name))
            return f.field;
    }
    for (const FieldName &f : SceneryFieldNames) {
        if (sameAsciiName(key, f.name))
            return f.field;
    }
    return -1;
}

// "True" and "False" as the writer spells them are by far the most common values; anything else
// goes through the full conversion.
bool truthValue(QByteArrayView value, const FileBytes &file)
{
    if (value == "True")
        return true;
    if (value == "False")
        return false;
    return VbConvert::textToBool(file.text(value));
}

// The reading goes on after every failure: each one is noted with its file and line, and the next
// step runs.
class DbReader
{
public:
    DbReader(SceneryManager &manager, const std::function<void()> &pump, Problems &problems)
        : m(manager), m_pump(pump), m_problems(problems)
    {}

    void report(const LmError &error)
    {
        QString text = error.description();
        if (text.startsWith(m_file + QStringLiteral(": ")))
            text.remove(0, m_file.size() + 2);
        m_problems.append(Problem{m_file, m_line, text, error});
    }
    // A problem the reading mended or worked around; it is told like a failure.
    void report(qint32 offset, const QString &text)
    {
        report(LmError::user(offset, QStringLiteral("%1: %2").arg(m_file, text)));
    }
    // The file read from now on, by its name in the program folder; line 0 until a line is read.
    void startFile(const QString &name)
    {
        m_file = name;
        m_line = 0;
    }
    void atLine(qsizetype index) { m_line = int(index) + 1; }

    // Runs one step; a failure is shown and the reading goes on.
    void step(const std::function<void()> &body)
    {
        try {
            body();
        } catch (const LmError &e) {
            report(e);
        }
    }

    void readScenery5(FileBytes &file);
    void readOldScenery(const QStringList &lines);
    void readSets(const QStringList &lines);
    void readLevels(const QStringList &lines);

private:
    // Mends a level key the tree could not place; false when the level is to be left out.
    bool repairLevelKey(clsLevel &level);
    void applySceneryValue(clsScenery &scenery, const QString &key, const QString &value, bool oldNumbering);
    // The same for a key known to name the field.
    static void applySceneryField(clsScenery &scenery, SceneryField field, QByteArrayView value,
                                  const FileBytes &file, bool oldNumbering);
    // Adds a scenery read from the block that begins at the index blockStart.
    void addScenery(const SceneryPtr &scenery, qsizetype blockStart);

    void pump() const
    {
        if (m_pump)
            m_pump();
    }

    SceneryManager &m;
    const std::function<void()> &m_pump;
    Problems &m_problems;
    QString m_file;
    int m_line = 0;
};

void DbReader::addScenery(const SceneryPtr &scenery, qsizetype blockStart)
{
    // The tree tells sceneries from levels by the first word of the key: a scenery keyed like a
    // level would be saved as one, and every later save would fail; one without a key could not be
    // found in the tree. (Other odd keys have no level, and the tree places them in "New".) A
    // mended key that another scenery holds is reported below and the block left out.
    if (scenery->Key.isEmpty() || isLevelKey(scenery->Key)) {
        const QString repaired = LibraryNames::NewSceneryPrefix + scenery->Title;
        const QString what =
            scenery->Key.isEmpty()
                ? QStringLiteral("the block that begins at line %1 has no key").arg(blockStart + 1)
                : QStringLiteral("the scenery '%1' has the key '%2', which is no scenery key")
                      .arg(scenery->Title, scenery->Key);
        report(LibraryDb::BadKey,
               QStringLiteral("%1; it is read as '%2' in the level \"New\".").arg(what, repaired));
        scenery->Key = repaired;
    }
    step([&] { m.colScenery.add(scenery->Key, scenery); });
}

void DbReader::applySceneryValue(clsScenery &s, const QString &key, const QString &value, bool oldNumbering)
{
    auto is = [&key](const char *name) { return key.compare(QLatin1String(name), Qt::CaseInsensitive) == 0; };

    if (is("Active"))
        s.Active = VbConvert::textToBool(value);
    else if (is("IsLocalPath"))
        s.IsLocalPath = VbConvert::textToBool(value);
    else if (is("Required"))
        s.Required = VbConvert::textToBool(value);
    else if (is("Author"))
        s.Author = value;
    else if (is("Comment"))
        s.Comment = value;
    else if (is("Exclude"))
        s.Exclude = value;
    else if (is("ID"))
        s.ID = value;
    else if (is("Key"))
        s.Key = value;
    else if (is("LocalPath"))
        s.LocalPath = value;
    else if (is("PreviousKey"))
        s.PreviousKey = value;
    else if (is("RemotePath"))
        s.RemotePath = value;
    else if (is("Title"))
        s.Title = value;
    else if (is("Version"))
        s.Version = value;
    else if (is("Layer"))
        s.Layer = leadingInt16(value);
    else if (is("SalesType"))
        s.SalesType = leadingInt16(value);
    else if (is("Texture_ID"))
        s.Texture_ID = leadingInt16(value);
    else if (is("GroupID"))
        s.GroupID = VbConvert::textToInt16(value);
    else if (is("Group"))
        // Kept as written: the details panel takes any text, and older files hold plain numbers,
        // which read back the same.
        s.Group = value;
    else if (is("FlySim")) {
        const double v = VbConvert::leadingValue(value);
        if (!oldNumbering)
            s.FlySim = VbConvert::toInt16(v);
        else
            // Version 1.5 stored the position of the simulator (1 FS95 ... 6 CFS2), not its bit.
            s.FlySim = v <= 0 ? qint16(0) : VbConvert::toInt16(std::pow(2.0, v - 1));
    } else if (key.size() == 9 && key.startsWith(QLatin1String("Flatten."), Qt::CaseInsensitive)) {
        const QChar d = key.at(8);
        if (d >= QLatin1Char('0') && d <= QLatin1Char('9'))
            s.setFlatten(qint16(d.unicode() - '0'), value);
    }
    // Any other key is left alone: a newer version may have written it.
}

void DbReader::applySceneryField(clsScenery &s, SceneryField field, QByteArrayView value,
                                 const FileBytes &file, bool oldNumbering)
{
    switch (field) {
    case FieldActive:
        s.Active = truthValue(value, file);
        return;
    case FieldIsLocalPath:
        s.IsLocalPath = truthValue(value, file);
        return;
    case FieldRequired:
        s.Required = truthValue(value, file);
        return;
    case FieldAuthor:
        s.Author = file.text(value);
        return;
    case FieldComment:
        s.Comment = file.text(value);
        return;
    case FieldExclude:
        s.Exclude = file.text(value);
        return;
    case FieldID:
        s.ID = file.text(value);
        return;
    case FieldKey:
        s.Key = file.text(value);
        return;
    case FieldLocalPath:
        s.LocalPath = file.text(value);
        return;
    case FieldPreviousKey:
        s.PreviousKey = file.text(value);
        return;
    case FieldRemotePath:
        s.RemotePath = file.text(value);
        return;
    case FieldTitle:
        s.Title = file.text(value);
        return;
    case FieldVersion:
        s.Version = file.text(value);
        return;
    case FieldGroup:
        s.Group = file.text(value);
        return;
    case FieldLayer:
    case FieldSalesType:
    case FieldTexture_ID:
    case FieldGroupID:
    case FieldFlySim:
        break;
    default:
        if (value.isEmpty())
            s.setFlatten(qint16(field - FieldFlatten0), QString());
        else
            s.setFlatten(qint16(field - FieldFlatten0), file.text(value));
        return;
    }
    // Plain digits, as the writer puts them, are the value they spell; anything else goes through
    // the full conversion.
    std::optional<double> digits;
    if (!value.isEmpty() && value.size() <= 9) {
        double v = 0;
        for (const char c : value) {
            if (c < '0' || c > '9') {
                v = -1;
                break;
            }
            v = v * 10 + (c - '0');
        }
        if (v >= 0)
            digits = v;
    }
    const QString number = digits ? QString() : file.text(value);
    auto leading = [&] { return digits ? *digits : VbConvert::leadingValue(number); };
    switch (field) {
    case FieldLayer:
        s.Layer = VbConvert::toInt16(leading());
        break;
    case FieldSalesType:
        s.SalesType = VbConvert::toInt16(leading());
        break;
    case FieldTexture_ID:
        s.Texture_ID = VbConvert::toInt16(leading());
        break;
    case FieldGroupID:
        s.GroupID = digits ? VbConvert::toInt16(*digits) : VbConvert::textToInt16(number);
        break;
    default: {
        const double v = leading();
        if (!oldNumbering)
            s.FlySim = VbConvert::toInt16(v);
        else
            s.FlySim = v <= 0 ? qint16(0) : VbConvert::toInt16(std::pow(2.0, v - 1));
    }
    }
}

void DbReader::readScenery5(FileBytes &file)
{
    bool oldNumbering = true;
    SceneryPtr current;
    qsizetype currentStart = 0;
    quint32 givenFields = 0;   // the named values the current block has given (SceneryField bits)
    QSet<QString> givenOthers; // and any other keys, in upper case
    // A block without its end line is shown; what it holds is kept rather than lost at the next save.
    auto unclosed = [&] {
        atLine(currentStart);
        report(LmError::user(LibraryDb::SceneryBlockCut,
                             QStringLiteral("Lumivale.db5: the block of the scenery '%1' ends before its "
                                            "</Scenery> line.")
                                 .arg(current->Title)));
        if (!current->Key.isEmpty() || !current->Title.isEmpty())
            addScenery(current, currentStart);
    };
    qsizetype strayLines = 0;
    qsizetype firstStray = 0;
    QByteArrayView line;
    bool asciiLine = false;
    for (qsizetype i = 0; file.nextLine(line, asciiLine); ++i) {
        atLine(i);
        pump();
        // A line of plain ASCII is matched on its bytes; any other is decoded and matched as text,
        // where letter case compares as Qt compares it.
        LineKind kind = LineKind::Value;
        if (asciiLine) {
            if (QLatin1String(line.data(), line.size()) == LibraryDb::SceneryHeader)
                kind = LineKind::Header;
            else if (sameAsciiName(line, QLatin1String("<SCENERY>")))
                kind = LineKind::Start;
            else if (sameAsciiName(line, QLatin1String("</SCENERY>")))
                kind = LineKind::End;
        } else {
            const QString text = file.text(line);
            if (text == LibraryDb::SceneryHeader)
                kind = LineKind::Header;
            else if (text.compare(QLatin1String("<SCENERY>"), Qt::CaseInsensitive) == 0)
                kind = LineKind::Start;
            else if (isSceneryEnd(text))
                kind = LineKind::End;
        }
        if (kind == LineKind::Header) {
            oldNumbering = false;
        } else if (kind == LineKind::Start) {
            if (current)
                unclosed();
            current = std::make_shared<clsScenery>();
            currentStart = i;
            givenFields = 0;
            givenOthers.clear();
        } else if (kind == LineKind::End) {
            if (current)
                addScenery(current, currentStart);
            current.reset();
        } else if (current) {
            const qsizetype eq = line.indexOf('=');
            if (eq < 0)
                continue;
            const QByteArrayView key = line.first(eq);
            const QByteArrayView value = line.sliced(eq + 1);
            // Every block gives each value once: a second one means lines of two blocks ran into
            // each other, and what lay between them is lost. Keys compare in upper case.
            const bool ascii = asciiLine || isAscii(key);
            int field = -1;
            if (ascii) {
                field = sceneryField(key);
            } else if (const QString upper = file.text(key).toUpper(); isAscii(upper)) {
                field = sceneryField(QStringView(upper));
            }
            bool twice = false;
            if (field >= 0) {
                twice = givenFields & (1u << field);
                givenFields |= 1u << field;
            } else {
                const QString upper = file.text(key).toUpper();
                twice = givenOthers.contains(upper);
                if (!twice)
                    givenOthers.insert(upper);
            }
            if (twice)
                report(LibraryDb::ValueTwice,
                       QStringLiteral("the block that begins at line %1 gives \"%2\" twice; "
                                      "the file is damaged there.")
                           .arg(currentStart + 1)
                           .arg(file.text(key)));
            try {
                // A named key in plain letters is the common case and is taken directly; any other
                // goes the general way, which compares as the program always has.
                if (ascii && field >= 0)
                    applySceneryField(*current, SceneryField(field), value, file, oldNumbering);
                else
                    applySceneryValue(*current, file.text(key), file.text(value), oldNumbering);
            } catch (const LmError &e) {
                report(e);
            }
        } else if (const QByteArrayView text = line.trimmed(); !text.isEmpty() && !text.startsWith("//")) {
            // Belongs to no scenery and is passed over; said once, so that a damaged file, or
            // another file in its place, is not taken for an empty library and saved over.
            if (strayLines++ == 0)
                firstStray = i;
        }
    }
    if (current)
        unclosed();
    if (strayLines > 0) {
        atLine(firstStray);
        report(LibraryDb::LinesOutsideBlocks,
               QStringLiteral("%1 line(s) outside any <Scenery> block, the first at line %2, were not "
                              "read; the file is damaged there.")
                   .arg(strayLines)
                   .arg(firstStray + 1));
    }
}

void DbReader::readOldScenery(const QStringList &lines)
{
    qsizetype i = 0;
    const qsizetype n = lines.size();
    auto next = [&](QString &out) {
        if (i >= n)
            return false;
        pump();
        atLine(i);
        out = lines.at(i++);
        return true;
    };
    // Fixed lines of a block: marker, Active, Exclude, ten Flatten, Group, GroupID, ID, Layer,
    // LocalPath, RemotePath, Texture_ID, Title, Author, Version.
    constexpr qsizetype FixedLines = 23;

    while (i < n) {
        const qsizetype blockStart = i;
        atLine(i);
        if (n - i < FixedLines) {
            // A trailing blank line after the last block is harmless.
            bool blank = true;
            for (qsizetype j = i; j < n; ++j)
                blank = blank && lines.at(j).isEmpty();
            if (!blank)
                report(LmError::user(
                    LibraryDb::OldSceneryBlockCut,
                    QStringLiteral("Lumivale.db ends inside a scenery block; the last %1 line(s) "
                                   "were not loaded.")
                        .arg(n - i)));
            return;
        }
        auto s = std::make_shared<clsScenery>();
        QString t;
        next(t); // block marker
        next(t);
        step([&] { s->Active = t.isEmpty() ? false : VbConvert::textToBool(t); });
        next(s->Exclude);
        for (qint16 pos = 0; pos < clsScenery::FlattenCount; ++pos) {
            next(t);
            s->setFlatten(pos, t);
        }
        next(s->Group);
        next(t);
        step([&] { s->GroupID = leadingInt16(t); });
        next(s->ID);
        next(t);
        step([&] { s->Layer = leadingInt16(t); });
        next(s->LocalPath);
        next(s->RemotePath);
        next(t);
        step([&] { s->Texture_ID = leadingInt16(t); });
        next(s->Title);
        next(s->Author);
        next(s->Version);

        // Later versions appended fields one by one; a block ends early at its end mark. The mark
        // ends the block wherever it stands, so a block written before a field existed cannot pull
        // the next block's lines into its own fields.
        bool haveKey = false;
        bool haveIsLocalPath = false;
        if (next(t) && !isSceneryEnd(t)) {
            s->Key = t;
            haveKey = true;
            if (next(t) && !isSceneryEnd(t)) {
                s->IsLocalPath = t.compare(QLatin1String("FALSE"), Qt::CaseInsensitive) != 0;
                haveIsLocalPath = true;
                if (next(t) && !isSceneryEnd(t)) {
                    if (VbConvert::isNumeric(t))
                        step([&] { s->SalesType = leadingInt16(t); });
                    if (next(t) && !isSceneryEnd(t)) {
                        if (VbConvert::isNumeric(t))
                            step([&] { s->FlySim = leadingInt16(t); });
                        if (next(t) && !isSceneryEnd(t)) {
                            s->Comment = t;
                            if (next(t) && !isSceneryEnd(t)) {
                                s->PreviousKey = t;
                                if (next(t) && !isSceneryEnd(t)) {
                                    step([&] {
                                        s->Required = t.isEmpty() ? false : VbConvert::textToBool(t);
                                    });
                                    next(t); // end mark
                                }
                            }
                        }
                    }
                }
            }
        }
        if (!haveKey)
            s->Key = LibraryNames::NewSceneryPrefix + s->Title;
        if (!haveIsLocalPath)
            s->IsLocalPath = s->RemotePath.isEmpty() || !s->LocalPath.isEmpty();
        addScenery(s, blockStart);
    }
}

void DbReader::readSets(const QStringList &lines)
{
    qsizetype i = 0;
    const qsizetype n = lines.size();
    qsizetype blockStart = 0;
    auto cut = [&](const QString &name) {
        atLine(blockStart);
        report(
            LmError::user(LibraryDb::SetBlockCut,
                          QStringLiteral("CFGSet.db ends inside the set '%1' before its </Set> line; the set "
                                         "keeps the members read so far.")
                              .arg(name)));
    };
    while (i < n) {
        pump();
        blockStart = i;
        atLine(i);
        const QString marker = lines.at(i++);
        if (i >= n) {
            if (!marker.isEmpty())
                report(LmError::user(
                    LibraryDb::SetBlockCut,
                    QStringLiteral("CFGSet.db ends inside a set block before the set's name.")));
            return;
        }
        auto set = std::make_shared<clsCFG>();
        atLine(i);
        set->Key = lines.at(i++);
        // A name already held is shown; its block is still read through, to stay in step.
        step([&] { m.dicCFGs.add(set->Key, set); });
        if (i >= n)
            return cut(set->Key);
        atLine(i);
        const QString cacheSize = lines.at(i++);
        step([&] { set->Cache_Size = VbConvert::textToInt32(cacheSize); });
        if (i >= n)
            return cut(set->Key);
        ++i; // Clean_on_Exit is kept in the file for older versions; the sets do not use it
        bool closed = false;
        while (i < n) {
            pump();
            const QString member = lines.at(i++);
            if (member == QLatin1String("</Set>")) {
                closed = true;
                break;
            }
            set->addMember(member);
        }
        if (!closed)
            return cut(set->Key);
    }
}

bool DbReader::repairLevelKey(clsLevel &level)
{
    // A level key begins with "Level"; the tree and the save tell levels from sceneries by it, so a
    // level keyed otherwise would make every later save fail. Such a level becomes a top level of
    // its caption, or is left out when it has none to be known by.
    if (isLevelKey(level.sLevelKey))
        return true;
    QString caption = level.sLevelCaption;
    caption.replace(QLatin1Char('\\'), QLatin1Char('/'));
    const QString repaired = LibraryNames::LevelPrefix + caption;
    if (caption.isEmpty() || m.dicLevel.contains(repaired)) {
        report(LibraryDb::BadKey,
               QStringLiteral("the level '%1' has the key '%2', which is no level key; the "
                              "level is left out and its sceneries go to the level \"New\".")
                   .arg(level.sLevelCaption, level.sLevelKey));
        return false;
    }
    report(LibraryDb::BadKey, QStringLiteral("the level '%1' has the key '%2', which is no level key; it is "
                                             "read as the top level '%3'.")
                                  .arg(level.sLevelCaption, level.sLevelKey, repaired));
    level.sLevelKey = repaired;
    level.sLevelCaption = caption;
    return true;
}

void DbReader::readLevels(const QStringList &lines)
{
    qsizetype i = 0;
    const qsizetype n = lines.size();
    qsizetype blockStart = 0;
    auto cut = [&](const QString &what) {
        atLine(blockStart);
        report(LmError::user(LibraryDb::LevelBlockCut,
                             QStringLiteral("Level.db ends inside the block of %1.").arg(what)));
    };
    while (i < n) {
        pump();
        blockStart = i;
        atLine(i);
        const QString marker = lines.at(i++);
        if (i >= n) {
            if (!marker.isEmpty())
                cut(QStringLiteral("a level before its caption"));
            return;
        }
        auto level = std::make_shared<clsLevel>();
        level->sLevelCaption = lines.at(i++);
        if (i >= n)
            return cut(QStringLiteral("the level '%1' before its key").arg(level->sLevelCaption));
        atLine(i);
        level->sLevelKey = lines.at(i++);
        if (repairLevelKey(*level))
            step([&] { m.dicLevel.add(level->sLevelKey, level); });
        if (i >= n)
            return cut(QStringLiteral("the level '%1' before its end line").arg(level->sLevelCaption));
        ++i; // end line
    }
}

} // namespace

namespace {

// Appends a value as one line of the file: a line break in it would split the record.
void appendSingleLine(QString &out, const QString &value)
{
    const qsizetype start = out.size();
    out += value;
    for (qsizetype i = start; i < out.size(); ++i) {
        const QChar c = out.at(i);
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n'))
            out[i] = QLatin1Char(' ');
    }
}

// One block of "Lumivale.db5": its 31 lines, the values in the order of their keys. The block is
// put together in one text and written as one line whose inner line ends are the file's own, which
// gives the same bytes as 31 lines written one by one at a fraction of the cost.
void writeSceneryBlock(TextFileWriter &out, QString &block, const clsScenery &s)
{
    static const QLatin1String FlattenKeys[clsScenery::FlattenCount] = {
        QLatin1String("Flatten.0="), QLatin1String("Flatten.1="), QLatin1String("Flatten.2="),
        QLatin1String("Flatten.3="), QLatin1String("Flatten.4="), QLatin1String("Flatten.5="),
        QLatin1String("Flatten.6="), QLatin1String("Flatten.7="), QLatin1String("Flatten.8="),
        QLatin1String("Flatten.9=")};
    const QLatin1String lineEnd("\r\n");
    block.clear();
    auto line = [&](QLatin1String key, const QString &value) {
        block += key;
        appendSingleLine(block, value);
        block += lineEnd;
    };
    auto number = [&](QLatin1String key, qint16 value) {
        block += key;
        block += QString::number(value);
        block += lineEnd;
    };
    auto truth = [&](QLatin1String key, bool value) {
        block += key;
        block += value ? QLatin1String("True") : QLatin1String("False");
        block += lineEnd;
    };
    block += QLatin1String("<Scenery>\r\n");
    truth(QLatin1String("Active="), s.Active);
    line(QLatin1String("Author="), s.Author);
    line(QLatin1String("Comment="), s.Comment);
    line(QLatin1String("Exclude="), s.Exclude);
    for (qint16 pos = 0; pos < clsScenery::FlattenCount; ++pos)
        line(FlattenKeys[pos], s.Flatten(pos));
    number(QLatin1String("FlySim="), s.FlySim);
    line(QLatin1String("Group="), s.Group);
    number(QLatin1String("GroupID="), s.GroupID);
    line(QLatin1String("ID="), s.ID);
    truth(QLatin1String("IsLocalPath="), s.IsLocalPath);
    line(QLatin1String("Key="), s.Key);
    number(QLatin1String("Layer="), s.Layer);
    line(QLatin1String("LocalPath="), s.LocalPath);
    line(QLatin1String("PreviousKey="), s.PreviousKey);
    line(QLatin1String("RemotePath="), s.RemotePath);
    truth(QLatin1String("Required="), s.Required);
    number(QLatin1String("SalesType="), s.SalesType);
    number(QLatin1String("Texture_ID="), s.Texture_ID);
    line(QLatin1String("Title="), s.Title);
    line(QLatin1String("Version="), s.Version);
    block += QLatin1String("</Scenery>");
    out.writeLine(block);
}

} // namespace

LibraryFileReader::LibraryFileReader(SceneryManager &library, const FileSystem &fs)
    : m_library(library), m_fs(fs)
{}

Outcome LibraryFileReader::read(const QString &folder)
{
    Problems problems;
    DbReader reader(m_library, m_pump, problems);
    const QString base = folder + QLatin1Char('\\');
    m_noSceneryFile = false;
    // A folder in a library file's place is a file that cannot be read, not a missing one: taken
    // for missing, the library would open empty and a save would try to put an empty one there.
    const auto present = [this](const QString &path) {
        if (m_fs.folderExists(path))
            throw LmError::standard(LmError::PathFileAccess, path);
        return m_fs.fileExists(path);
    };

    reader.step([&] {
        const QString p5 = base + LibraryDb::SceneryFile;
        const QString pOld = base + LibraryDb::OldSceneryFile;
        reader.startFile(LibraryDb::SceneryFile);
        if (present(p5)) {
            FileBytes file(m_fs, p5);
            reader.readScenery5(file);
        } else if (present(pOld)) {
            reader.startFile(LibraryDb::OldSceneryFile);
            reader.readOldScenery(m_fs.readLines(pOld));
        } else {
            m_noSceneryFile = true;
        }
    });

    reader.step([&] {
        const QString pS = base + LibraryDb::SetFile;
        reader.startFile(LibraryDb::SetFile);
        if (present(pS))
            reader.readSets(m_fs.readLines(pS));
    });

    reader.step([&] {
        const QString pL = base + LibraryDb::LevelFile;
        reader.startFile(LibraryDb::LevelFile);
        if (present(pL)) {
            reader.readLevels(m_fs.readLines(pL));
        } else {
            auto level = std::make_shared<clsLevel>();
            level->sLevelKey = LibraryNames::NewLevelKey;
            level->sLevelCaption = LibraryNames::NewLevelCaption;
            m_library.dicLevel.add(level->sLevelKey, level);
        }
    });

    return Outcome::done(std::move(problems));
}

LibraryFileWriter::LibraryFileWriter(const SceneryManager &library, const FileSystem &fs)
    : m_library(library), m_fs(fs)
{}

Outcome LibraryFileWriter::write(const QString &folder, const QStringList &treeOrder)
{
    const QString base = folder + QLatin1Char('\\');
    QString file = LibraryDb::SceneryFile; // the file a failure concerns
    try {
        // Each file is replaced whole, only after its previous state is kept as ".backup".
        auto keepBackup = [&](const QString &name) {
            const QString path = base + name;
            if (m_fs.fileExists(path) && !m_keepBackups.contains(name))
                m_fs.copyFile(path, path + LibraryDb::BackupSuffix, true);
        };

        keepBackup(LibraryDb::SceneryFile);
        file = LibraryDb::LevelFile;
        keepBackup(LibraryDb::LevelFile);
        TextFileWriter sceneries(m_fs, base + LibraryDb::SceneryFile);
        TextFileWriter levels(m_fs, base + LibraryDb::LevelFile);
        sceneries.writeLine(LibraryDb::SceneryHeader);
        QString block;

        for (const QString &key : treeOrder) {
            if (m_pump)
                m_pump();
            if (isLevelKey(key)) {
                file = LibraryDb::LevelFile;
                const clsLevel &level = *m_library.dicLevel.item(key);
                levels.writeLine(QStringLiteral("<Level>"));
                levels.writeLine(singleLine(level.sLevelCaption));
                levels.writeLine(singleLine(level.sLevelKey));
                levels.writeLine(QStringLiteral("</Level>"));
            } else {
                file = LibraryDb::SceneryFile;
                writeSceneryBlock(sceneries, block, *m_library.colScenery.item(key));
            }
        }
        file = LibraryDb::SceneryFile;
        sceneries.commit();
        file = LibraryDb::LevelFile;
        levels.commit();

        file = LibraryDb::SetFile;
        keepBackup(LibraryDb::SetFile);
        TextFileWriter sets(m_fs, base + LibraryDb::SetFile);
        for (auto it = m_library.dicCFGs.begin(); it != m_library.dicCFGs.end(); ++it) {
            const clsCFG &set = **it;
            if (it.key() == LibraryNames::CurrentSet)
                continue;
            sets.writeLine(QStringLiteral("<Set>"));
            sets.writeLine(singleLine(set.Key));
            sets.writeLine(QString::number(set.Cache_Size));
            sets.writeLine(truthText(set.Clean_on_Exit));
            for (const QString &member : set.colUsedSceneries)
                sets.writeLine(singleLine(member));
            sets.writeLine(QStringLiteral("</Set>"));
        }
        sets.commit();
        return Outcome::done();
    } catch (const LmError &e) {
        return Outcome::failed(e, base + file);
    }
}
