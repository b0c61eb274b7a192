#include "install/sceneryinstaller.h"

#include "library/scenerymanager.h"
#include "platform/archive.h"
#include "platform/errorreporter.h"
#include "platform/lmerror.h"
#include "platform/winpath.h"
#include "tree/tree.h"

namespace {

const QChar Backslash(u'\\');
const QString InstallTitle = QStringLiteral("Install scenery");

// A bracket list of a pattern: the characters and ranges it lists, and whether it means any other.
struct CharSet
{
    bool negated = false;
    QList<QPair<QChar, QChar>> ranges;
    bool contains(QChar c) const
    {
        bool found = false;
        for (const auto &[low, high] : ranges)
            found = found || (c >= low && c <= high);
        return found != negated;
    }
};

// One position of a pattern.
struct Token
{
    enum Kind { Literal, AnyRun, AnyOne, Digit, Set } kind = Literal;
    QChar c;
    CharSet set;
};

// The tokens of a pattern; nothing when a bracket list is not closed.
std::optional<QList<Token>> tokensOf(const QString &pattern)
{
    QList<Token> tokens;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern.at(i);
        if (c == u'*') {
            tokens.append({Token::AnyRun, {}, {}});
        } else if (c == u'?') {
            tokens.append({Token::AnyOne, {}, {}});
        } else if (c == u'#') {
            tokens.append({Token::Digit, {}, {}});
        } else if (c == u'[') {
            const qsizetype close = pattern.indexOf(u']', i + 1);
            if (close < 0)
                return std::nullopt;
            QString list = pattern.mid(i + 1, close - i - 1);
            i = close;
            // "[]" stands for no character at all.
            if (list.isEmpty())
                continue;
            Token token{Token::Set, {}, {}};
            if (list.startsWith(u'!')) {
                token.set.negated = true;
                list.remove(0, 1);
            }
            for (qsizetype j = 0; j < list.size(); ++j) {
                if (j + 2 < list.size() && list.at(j + 1) == u'-') {
                    token.set.ranges.append({list.at(j), list.at(j + 2)});
                    j += 2;
                } else {
                    token.set.ranges.append({list.at(j), list.at(j)});
                }
            }
            tokens.append(token);
        } else {
            tokens.append({Token::Literal, c, {}});
        }
    }
    return tokens;
}

bool matchesOne(const Token &token, QChar c)
{
    switch (token.kind) {
    case Token::Literal:
        return token.c == c;
    case Token::AnyOne:
        return true;
    case Token::Digit:
        return c >= u'0' && c <= u'9';
    case Token::Set:
        return token.set.contains(c);
    case Token::AnyRun:
        break;
    }
    return false;
}

QString folderOfFile(const QString &path)
{
    return path.left(path.lastIndexOf(Backslash));
}

// "C:\Dest" + "Scenery\" with one "\" between.
QString below(const QString &folder, const QString &rest)
{
    return WinPath::withoutTrailingSeparator(folder) + Backslash + rest;
}

bool isAbsolute(const QString &path)
{
    return (path.size() >= 3 && path.at(0).isLetter() && path.at(1) == u':' && path.at(2) == Backslash) ||
           path.startsWith(QStringLiteral("\\\\"));
}

// A folder path below a root word: "" or "\" followed by parts, none of them "..", none holding a
// ":" (a drive) or the root word again.
bool safeRest(const QString &rest, const QString &rootWord)
{
    if (rest.isEmpty())
        return true;
    if (!rest.startsWith(Backslash) || rest.contains(rootWord) || rest.contains(u'/'))
        return false;
    for (const QString &part : rest.split(Backslash, Qt::SkipEmptyParts)) {
        if (part == QStringLiteral("..") || part.contains(u':'))
            return false;
    }
    return true;
}

bool safeFileName(const QString &name)
{
    static const QString bad = QStringLiteral("\\/:");
    if (name.isEmpty() || name == QStringLiteral(".") || name == QStringLiteral(".."))
        return false;
    for (QChar c : bad) {
        if (name.contains(c))
            return false;
    }
    return true;
}

} // namespace

DestinationKind destinationKind(const QString &destination, const QString &fileName)
{
    if (!safeFileName(fileName))
        return DestinationKind::Refused;
    if (destination.startsWith(QStringLiteral("MyScen"))) {
        return destination.startsWith(FileListFile::MySceneryBase) &&
                       safeRest(destination.mid(FileListFile::MySceneryBase.size()),
                                FileListFile::MySceneryBase)
                   ? DestinationKind::SceneryFolder
                   : DestinationKind::Refused;
    }
    if (destination.startsWith(FileListFile::FSRoot)) {
        return safeRest(destination.mid(FileListFile::FSRoot.size()), FileListFile::FSRoot)
                   ? DestinationKind::SimulatorFolder
                   : DestinationKind::Refused;
    }
    QString path = destination;
    if (destination.startsWith(QStringLiteral("Absolu"))) {
        const QString word = FileListFile::AbsolutePath + Backslash;
        if (!destination.startsWith(word))
            return DestinationKind::Refused;
        path = destination.mid(word.size());
        if (path.contains(word))
            return DestinationKind::Refused;
    }
    if (!isAbsolute(path) || path.contains(u'/'))
        return DestinationKind::Refused;
    const QStringList parts = path.split(Backslash, Qt::SkipEmptyParts);
    for (qsizetype i = 0; i < parts.size(); ++i) {
        if (parts.at(i) == QStringLiteral("..") || (i > 0 && parts.at(i).contains(u':')))
            return DestinationKind::Refused;
    }
    return DestinationKind::Absolute;
}

SceneryInstaller::SceneryInstaller(AppContext &context, SceneryManager &manager)
    : m_context(context), m_manager(manager)
{}

// ---- The classic procedures ------------------------------------------------------------------

bool SceneryInstaller::matchesPattern(const QString &name, const QString &pattern)
{
    const std::optional<QList<Token>> parsed = tokensOf(pattern);
    if (!parsed)
        return false;
    const QList<Token> &tokens = *parsed;
    // Greedy matching that goes back to the last "*" on a mismatch.
    qsizetype n = 0, t = 0, starToken = -1, starName = 0;
    while (n < name.size()) {
        if (t < tokens.size() && tokens.at(t).kind == Token::AnyRun) {
            starToken = t++;
            starName = n;
        } else if (t < tokens.size() && matchesOne(tokens.at(t), name.at(n))) {
            ++t;
            ++n;
        } else if (starToken >= 0) {
            t = starToken + 1;
            n = ++starName;
        } else {
            return false;
        }
    }
    while (t < tokens.size() && tokens.at(t).kind == Token::AnyRun)
        ++t;
    return t == tokens.size();
}

QString SceneryInstaller::GetMoveToFolder(const QString &destination, const QString &fileName,
                                          const QString &sceneryPatterns,
                                          const QString &texturePatterns) const
{
    const QString name = fileName.toUpper();
    const auto anyMatches = [&name](const QString &patterns) {
        for (const QString &pattern : patterns.split(u';')) {
            if (!pattern.isEmpty() && matchesPattern(name, pattern.toUpper()))
                return true;
        }
        return false;
    };
    if (anyMatches(sceneryPatterns))
        return below(destination, QStringLiteral("Scenery\\"));
    if (anyMatches(texturePatterns))
        return below(destination, QStringLiteral("Texture\\"));
    const bool flight = matchesPattern(name, QStringLiteral("*.FLT"));
    const bool weather = matchesPattern(name, QStringLiteral("*.WX"));
    if ((flight || weather) && m_manager.SimType == 0)
        return below(simulatorFolder(), QStringLiteral("Pilots\\"));
    if ((flight || weather) && m_manager.SimType == 1)
        return below(simulatorFolder(), QStringLiteral("flights\\myflts\\"));
    return WinPath::withTrailingSeparator(destination);
}

QString SceneryInstaller::GetMoveToFromFL(const QString &destination, const QString &fileName,
                                          const QString &installFolder) const
{
    QString path = destination;
    if (path.startsWith(QStringLiteral("MyScen")))
        path.replace(FileListFile::MySceneryBase, WinPath::withoutTrailingSeparator(installFolder));
    else if (path.startsWith(FileListFile::FSRoot))
        path.replace(FileListFile::FSRoot, simulatorFolder());
    else if (path.startsWith(QStringLiteral("Absolu")))
        path.remove(FileListFile::AbsolutePath + Backslash);
    return WinPath::join(path, fileName);
}

SceneryPtr SceneryInstaller::AddExistingScenery(const QString &title, const QString &path)
{
    auto record = std::make_shared<clsScenery>();
    record->Title = QString(title).replace(Backslash, u'/');
    record->Key = LibraryNames::NewSceneryPrefix + record->Title;
    record->IsLocalPath = true;
    record->Active = true;
    record->LocalPath = NormalisePath(path);
    return record;
}

QString SceneryInstaller::NormalisePath(const QString &path)
{
    QString result = path;
    // Only a last part "scenery" names the scenery's subfolder; "C:\Addon\MyScenery" is a
    // scenery folder of its own.
    if (result.size() > 7 && result.right(7).toLower() == QStringLiteral("scenery") &&
        result.at(result.size() - 8) == Backslash)
        result.chop(7);
    if (!result.endsWith(Backslash) && !result.endsWith(u':'))
        result += Backslash;
    return result;
}

bool SceneryInstaller::BuildDestFolder(QString destination, QString source)
{
    if (destination.endsWith(Backslash))
        destination.chop(1);
    if (source.endsWith(Backslash))
        source.chop(1);
    return runStep(m_context.ui, QStringLiteral(".BuildDestFolder"), [&] {
        WinPath::CreateSubFolder(m_context.fs, destination);
        for (const QString &sub : {QStringLiteral("Scenery"), QStringLiteral("Texture")}) {
            const QString folder = destination + Backslash + sub;
            if (!m_context.fs.folderExists(folder))
                m_context.fs.createFolder(folder);
        }
    });
}

void SceneryInstaller::scanTextFiles(clsScenery &record) const
{
    const FileSystem &fs = m_context.fs;
    const QString folder = record.LocalPath;
    if (!fs.folderExists(folder))
        return;
    QStringList keys{QStringLiteral("EXCLUDE=")};
    for (int n = 0; n < clsScenery::FlattenCount; ++n)
        keys << QStringLiteral("FLATTEN.%1=").arg(n);
    keys << QStringLiteral("EXCLUDE =");
    for (int n = 0; n < clsScenery::FlattenCount; ++n)
        keys << QStringLiteral("FLATTEN.%1 =").arg(n);
    for (const QString &file : fs.files(folder)) {
        const QString path = WinPath::join(folder, file);
        if (!fs.shortName(path).endsWith(QStringLiteral("TXT"), Qt::CaseInsensitive))
            continue;
        for (const QString &raw : fs.readLines(path)) {
            const QString line = WinPath::trimBlanks(raw.toUpper());
            for (qsizetype k = 0; k < keys.size(); ++k) {
                const qsizetype at = line.indexOf(keys.at(k));
                if (at < 0)
                    continue;
                // "EXCLUDE = 1,2,3,4" gives "1,2,3,4", as "EXCLUDE=1,2,3,4" does.
                const QString value = WinPath::trimBlanks(line.mid(at + keys.at(k).size()));
                const qsizetype number = k % (clsScenery::FlattenCount + 1);
                if (number == 0)
                    record.Exclude = value;
                else
                    record.setFlatten(qint16(number - 1), value);
            }
        }
    }
}

ContentList SceneryInstaller::listContent(const FileSystem &fs, const QString &archive)
{
    ContentList rows;
    Unzip unzip(fs);
    unzip.archive = archive;
    unzip.FileInfo = [&rows](const QString &name, const QString &folder) {
        if (!name.isEmpty())
            rows.append({name, folder});
    };
    unzip.listEntries();
    return rows;
}

ArchiveMode SceneryInstaller::preselectedMode(const ContentList &content)
{
    bool fileList = false;
    bool sceneryFolder = false;
    for (const ContentRow &row : content) {
        fileList = fileList || row.fileName == FileListFile::FileName;
        sceneryFolder = sceneryFolder || WinPath::withoutTrailingSeparator(row.folderPath).toLower() ==
                                             QStringLiteral("scenery");
    }
    if (fileList)
        return ArchiveMode::FileList;
    return sceneryFolder ? ArchiveMode::WinzipPath : ArchiveMode::Automatic;
}

bool SceneryInstaller::titleTaken(const SceneryManager &manager, const QString &title)
{
    const QString wanted = QString(title).replace(Backslash, u'/');
    for (const SceneryPtr &scenery : manager.colScenery) {
        if (scenery->Title == wanted)
            return true;
    }
    return false;
}

QString SceneryInstaller::simulatorFolder() const
{
    return m_manager.FSPath();
}

// ---- The installation ------------------------------------------------------------------------

Outcome SceneryInstaller::install(const InstallRequest &request)
{
    m_record.reset();
    m_files.clear();
    m_skipped.clear();
    m_refused.clear();
    m_replace.reset();
    try {
        Outcome outcome = run(request);
        if (!outcome.isDone())
            m_record.reset();
        return outcome;
    } catch (const Cancelled &) {
        m_record.reset();
        return Outcome::stopped();
    } catch (const LmError &e) {
        m_record.reset();
        return Outcome::failed(e);
    }
}

void SceneryInstaller::step(const QString &file)
{
    if (cancelRequested && cancelRequested())
        throw Cancelled{};
    if (progress)
        progress(file);
}

Outcome SceneryInstaller::run(const InstallRequest &request)
{
    UiPort &ui = m_context.ui;
    if (WinPath::trimBlanks(request.title).isEmpty())
        return Outcome::refused(QStringLiteral("The title for the scenery is missing."));
    if (titleTaken(m_manager, request.title)) {
        const QString text =
            QStringLiteral("The title for the scenery exists, please choose a different title.");
        ui.inform(text, QStringLiteral("Scenery title exists"), UiPort::Icon::Exclamation);
        return Outcome::refused(text);
    }
    const auto pathError = [&ui] {
        ui.inform(QStringLiteral("Check source and destination path."), QStringLiteral("Path error."),
                  UiPort::Icon::Critical);
        return Outcome::failed(LmError::standard(LmError::PathNotFound));
    };

    switch (request.way) {
    case InstallWay::Installed:
        m_record = AddExistingScenery(request.title, request.sceneryPath);
        break;
    case InstallWay::SourceFolder:
        // A missing source would otherwise leave an empty scenery folder behind.
        if (!m_context.fs.folderExists(request.source) ||
            !BuildDestFolder(request.destination, request.source))
            return pathError();
        installFromFolder(request);
        m_record = AddExistingScenery(request.title, request.destination);
        break;
    case InstallWay::Archive: {
        if (!m_context.fs.fileExists(request.source)) {
            ui.inform(QStringLiteral("ZIP-File did not exist."), QStringLiteral("Could not install scenery."),
                      UiPort::Icon::Critical);
            return Outcome::failed(LmError::standard(LmError::FileNotFound, request.source));
        }
        Unzip sizes(m_context.fs);
        sizes.archive = request.source;
        const qint64 needed = sizes.unpackedSize();
        const qint64 free = m_context.fs.freeBytes(request.destination);
        if (needed > free) {
            const QString text =
                QStringLiteral(
                    "The archive unpacks to %1 bytes, but the destination %2 has only %3 bytes free.")
                    .arg(needed)
                    .arg(request.destination)
                    .arg(free);
            ui.inform(text, QStringLiteral("Could not install scenery."), UiPort::Icon::Critical);
            return Outcome::refused(text);
        }
        if (!BuildDestFolder(request.destination, request.source))
            return pathError();
        installFromArchive(request, request.destination);
        break;
    }
    }
    if (!(request.way == InstallWay::Archive && request.archiveMode == ArchiveMode::FileList))
        scanTextFiles(*m_record);
    return Outcome::done();
}

void SceneryInstaller::installFromFolder(const InstallRequest &request)
{
    const FileSystem &fs = m_context.fs;
    for (const QString &name : fs.files(request.source)) {
        const QString from = WinPath::join(request.source, name);
        step(QStringLiteral("Copying %1").arg(from));
        fs.clearAttributes(from);
        const QString to =
            GetMoveToFolder(request.destination, name, request.sceneryPatterns, request.texturePatterns) +
            name;
        if (place(from, to, true))
            m_files.append({from, to});
    }
}

bool SceneryInstaller::place(const QString &from, const QString &to, bool copy)
{
    const FileSystem &fs = m_context.fs;
    if (!fs.fileExists(from))
        return false;
    bool replacing = false;
    if (!copy && fs.fileExists(to)) {
        if (!m_replace) {
            m_replace = m_context.ui.askYesNo(
                QStringLiteral(
                    "Files of this scenery exist already where they are to go, the first of them:\r\n%1\r\n"
                    "Do you want to replace the existing files?")
                    .arg(to),
                InstallTitle, UiPort::Icon::Question);
        }
        if (!*m_replace) {
            m_skipped.append(to);
            return false;
        }
        replacing = true;
    }
    WinPath::CreateSubFolder(fs, folderOfFile(to));
    if (replacing) {
        // The file in place (perhaps one the simulator shares) is replaced by a whole copy only:
        // deleting it first lost it whenever the move then failed.
        fs.clearAttributes(to);
        fs.copyFile(from, to, true);
        fs.deleteFile(from);
    } else if (copy) {
        fs.copyFile(from, to, true);
    } else {
        fs.moveFile(from, to);
    }
    return true;
}

void SceneryInstaller::extract(const QString &archive, const QString &folder)
{
    Unzip unzip(m_context.fs);
    unzip.archive = archive;
    unzip.targetFolder = folder;
    unzip.skipRefused = true;
    unzip.progress = [this](const QString &text) { step(text); };
    unzip.extractAll();
    for (const QString &name : unzip.refusedEntries())
        m_refused.append(name);
}

void SceneryInstaller::installFromArchive(const InstallRequest &request, const QString &destination)
{
    const FileSystem &fs = m_context.fs;
    ContentList content = request.content;
    if (content.isEmpty())
        content = listContent(fs, request.source);

    if (request.archiveMode == ArchiveMode::WinzipPath) {
        extract(request.source, destination);
        for (const ContentRow &row : std::as_const(content)) {
            const QString to = WinPath::join(destination, row.folderPath + row.fileName);
            if (fs.fileExists(to))
                m_files.append({row.folderPath + row.fileName, to});
        }
        m_record = AddExistingScenery(request.title, destination);
        return;
    }

    // The file list is read from the archive before anything is extracted, so that the question
    // about files outside the scenery folder comes first.
    FileListReader list(fs);
    bool outsideAllowed = false;
    if (request.archiveMode == ArchiveMode::FileList) {
        const auto listRow = std::find_if(content.cbegin(), content.cend(), [](const ContentRow &row) {
            return row.fileName == FileListFile::FileName;
        });
        if (listRow == content.cend())
            throw LmError::standard(LmError::FileNotFound, FileListFile::FileName);
        TemporaryFolder listFolder(fs);
        Unzip one(fs);
        one.archive = request.source;
        one.targetFolder = listFolder.path();
        if (!one.extractFile(listRow->folderPath + listRow->fileName))
            throw LmError::standard(LmError::FileNotFound, FileListFile::FileName);
        const Outcome read = list.read(listFolder.filePath(FileListFile::FileName));
        if (read.isFailed())
            throw read.error();
        if (!read.problems.isEmpty())
            throw LmError(5, read.problems.constFirst().describe());
        QStringList outside;
        for (const FileListEntry &entry : list.entries()) {
            const DestinationKind kind = destinationKind(entry.Destination, entry.File);
            if ((kind == DestinationKind::SimulatorFolder || kind == DestinationKind::Absolute) &&
                entry.File != FileListFile::FileName)
                outside << GetMoveToFromFL(entry.Destination, entry.File, destination);
        }
        if (!outside.isEmpty()) {
            outsideAllowed = m_context.ui.askYesNo(
                QStringLiteral(
                    "The file list of this scenery installs files outside the scenery folder:\r\n%1\r\n"
                    "Do you want to install these files too? (No installs the scenery without them.)")
                    .arg(outside.join(QStringLiteral("\r\n"))),
                InstallTitle, UiPort::Icon::Question);
        }
    }

    TemporaryFolder extraction(fs);
    extract(request.source, extraction.path());
    m_record = AddExistingScenery(request.title, destination);
    InstallRequest rows = request;
    rows.content = content;
    if (request.archiveMode == ArchiveMode::FileList)
        placeByFileList(rows, extraction.path(), destination, list, outsideAllowed);
    else
        placeByName(rows, extraction.path(), destination);
}

void SceneryInstaller::placeByName(const InstallRequest &request, const QString &extracted,
                                   const QString &destination)
{
    const FileSystem &fs = m_context.fs;
    for (const ContentRow &row : request.content) {
        const QString entry = row.folderPath + row.fileName;
        step(QStringLiteral("Placing %1").arg(entry));
        const QString from = WinPath::join(extracted, entry);
        if (!fs.fileExists(from))
            continue;
        fs.clearAttributes(from);
        const QString to =
            GetMoveToFolder(destination, row.fileName, request.sceneryPatterns, request.texturePatterns) +
            row.fileName;
        if (!place(from, to, false))
            continue;
        m_files.append({entry, to});
        if (request.subZips && row.fileName.endsWith(QStringLiteral(".zip"), Qt::CaseInsensitive)) {
            const QString folder = to.left(to.size() - 4);
            const ContentList inner = listContent(fs, to);
            extract(to, folder);
            for (const ContentRow &sub : inner) {
                const QString placed = WinPath::join(folder, sub.folderPath + sub.fileName);
                if (fs.fileExists(placed))
                    m_files.append({entry + Backslash + sub.folderPath + sub.fileName, placed});
            }
        }
    }
}

void SceneryInstaller::placeByFileList(const InstallRequest &request, const QString &extracted,
                                       const QString &destination, const FileListReader &list,
                                       bool outsideAllowed)
{
    list.applyFields(*m_record);
    QString listFrom;
    for (const FileListEntry &entry : list.entries()) {
        const auto row = std::find_if(request.content.cbegin(), request.content.cend(),
                                      [&entry](const ContentRow &r) { return r.fileName == entry.File; });
        if (row == request.content.cend())
            continue;
        const QString entryPath = row->folderPath + row->fileName;
        if (entry.File == FileListFile::FileName) {
            listFrom = entryPath;
            continue;
        }
        step(QStringLiteral("Placing %1").arg(entryPath));
        const DestinationKind kind = destinationKind(entry.Destination, entry.File);
        if (kind == DestinationKind::Refused) {
            m_refused.append(entry.File + QLatin1Char('=') + entry.Destination);
            continue;
        }
        const QString to = GetMoveToFromFL(entry.Destination, entry.File, destination);
        if (kind != DestinationKind::SceneryFolder && !outsideAllowed) {
            m_skipped.append(to);
            continue;
        }
        const QString from = WinPath::join(extracted, entryPath);
        if (place(from, to, false))
            m_files.append({entryPath, to});
    }
    if (listFrom.isEmpty())
        listFrom = FileListFile::FileName;
    const QString listTo = WinPath::join(destination, FileListFile::FileName);
    if (place(WinPath::join(extracted, listFrom), listTo, false))
        m_files.append({listFrom, listTo});
}

// ---- Into the library ------------------------------------------------------------------------

void addInstalledScenery(SceneryManager &manager, Tree &tree, const SceneryPtr &record)
{
    TreeNode *newLevel = tree.node(LibraryNames::NewLevelKey);
    if (!newLevel) {
        LevelPtr level = manager.dicLevel.value(LibraryNames::NewLevelKey);
        if (!level) {
            level = std::make_shared<clsLevel>();
            level->sLevelKey = LibraryNames::NewLevelKey;
            level->sLevelCaption = LibraryNames::NewLevelCaption;
            manager.dicLevel.add(LibraryNames::NewLevelKey, level);
        }
        newLevel = tree.add(nullptr, Tree::Relation::Last, LibraryNames::NewLevelKey, level->sLevelCaption);
    }
    if (manager.colScenery.contains(record->Key) || tree.contains(record->Key))
        throw LmError::standard(LmError::DuplicateKey, record->Key);
    manager.colScenery.add(record->Key, record);
    TreeNode *node = tree.add(newLevel, Tree::Relation::Child, record->Key, record->Title);
    node->setBackColor(rgb(255, 255, 0));
    node->setForeColor(rgb(100, 100, 255));
    node->ensureVisible();
    // Only a whole folder of the path counts: "C:\FSX\..." is not inside "C:\FS".
    const QString sim = manager.FSPath();
    const QString rest = record->LocalPath.mid(sim.size());
    if (!sim.isEmpty() && record->LocalPath.startsWith(sim) && (rest.isEmpty() || rest.startsWith(Backslash)))
        record->LocalPath = rest.startsWith(Backslash) ? rest.mid(1) : rest;
}
