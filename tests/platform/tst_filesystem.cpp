#include "platform/drives.h"
#include "platform/filesystem.h"
#include "platform/launcher.h"
#include "platform/lmerror.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// A Wine-style prefix in a temporary folder: drive C: is "prefix/drive_c" (written "@" in the
// tests' texts), D: its folder "games".
struct Sandbox
{
    QTemporaryDir dir;
    FileSystem fs;

    // files: "a/b.txt=content" a file (content as Windows-1252), "a/b/" a folder; a trailing "!"
    // makes either read-only.
    explicit Sandbox(const QString &files)
    {
        QDir().mkpath(driveC());
        DriveMap map;
        map.setDrive(u'C', driveC());
        map.setDrive(u'D', host(u"games"_s));
        fs.setDriveMap(map);
        QStringList readOnly;
        for (QString entry : files.split(u';', Qt::SkipEmptyParts)) {
            if (entry.endsWith(u'!'))
                readOnly << entry.chopped(1).section(u'=', 0, 0);
            entry.remove(u'!');
            const QString path = host(entry.section(u'=', 0, 0));
            QDir().mkpath(entry.endsWith(u'/') ? path : QFileInfo(path).absolutePath());
            QFile file(path);
            if (!entry.endsWith(u'/') && file.open(QIODevice::WriteOnly))
                file.write(entry.section(u'=', 1).toLatin1());
        }
        for (const QString &path : readOnly)
            QFile::setPermissions(host(path), path.endsWith(u'/') ? QFileDevice::ReadOwner | QFileDevice::ExeOwner
                                                                  : QFileDevice::ReadOwner | QFileDevice::ReadUser);
    }

    QString driveC() const { return dir.path() + u"/prefix/drive_c"_s; }
    QString host(const QString &relative) const { return driveC() + u'/' + relative; }

    // Everything below C:, in the notation of the constructor, sorted.
    QString tree() const
    {
        QStringList out;
        QDirIterator it(driveC(), QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QFileInfo info = it.nextFileInfo();
            const QString relative = QDir(driveC()).relativeFilePath(info.filePath());
            QFile file(info.filePath());
            if (!info.isDir() && file.open(QIODevice::ReadOnly))
                out << relative + u'=' + QString::fromLatin1(file.readAll())
                           + (info.permissions() & QFileDevice::WriteOwner ? u""_s : u"!"_s);
            else if (info.isDir() && QDir(info.filePath()).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot))
                out << relative + u'/';
        }
        out.sort();
        return out.join(u';');
    }

    // Runs "operation|path|more" and gives its result as text, or "!" and the error's name.
    QString run(const QString &command)
    {
        static const QHash<qint32, QString> errors{
            {LmError::FileNotFound, u"FileNotFound"_s}, {LmError::FileAlreadyExists, u"FileAlreadyExists"_s},
            {LmError::PermissionDenied, u"PermissionDenied"_s}, {LmError::PathFileAccess, u"PathFileAccess"_s},
            {LmError::PathNotFound, u"PathNotFound"_s}};
        const QStringList a = command.split(u'|');
        const QString op = a.at(0), p = a.at(1), q = a.value(2);
        try {
            if (op == u"copy") fs.copyFile(p, q);
            else if (op == u"copy-keep") fs.copyFile(p, q, false);
            else if (op == u"move") fs.moveFile(p, q);
            else if (op == u"movedir") fs.moveFolder(p, q);
            else if (op == u"del") fs.deleteFile(p);
            else if (op == u"del-soft") fs.deleteFile(p, false);
            else if (op == u"rmdir") fs.deleteFolder(p);
            else if (op == u"rmdir-soft") fs.deleteFolder(p, false);
            else if (op == u"mkdir") fs.createFolder(p);
            else if (op == u"unlock") fs.clearAttributes(p);
            else if (op == u"append") fs.appendLine(p, q);
            else if (op == u"write") fs.writeAll(p, q.toLatin1());
            else if (op == u"lines") fs.writeLines(p, a.mid(2));
            else if (op == u"writer") {
                const QString before = tree();
                TextFileWriter writer(fs, p);
                for (const QString &line : a.mid(2))
                    writer.writeLine(line);
                if (tree() != before)
                    return u"written before the commit"_s;
                writer.commit();
            }
            else if (op == u"read") return QString::fromLatin1(fs.readAll(p));
            else if (op == u"readlines") return fs.readLines(p).join(u'|');
            else if (op == u"file?") return fs.fileExists(p) ? u"yes"_s : u"no"_s;
            else if (op == u"dir?") return fs.folderExists(p) ? u"yes"_s : u"no"_s;
            else if (op == u"files") return fs.files(p).join(u',');
            else if (op == u"dirs") return fs.subFolders(p).join(u',');
            else if (op == u"size") return QString::number(fs.folderSize(p));
            else if (op == u"short") return fs.shortName(p);
            else if (op == u"resolve") return Launcher(fs).resolveProgram(p).replace(driveC(), u"@"_s);
            else if (op == u"start") return Launcher(fs).startProgram(p, a.mid(2)) ? u"started"_s : u"not started"_s;
            else if (op == u"drives") {
                QStringList seen; // a letter whose folder is gone is neither a disk to show nor ready
                for (const DriveInfo &d : listDrives(fs.driveMap()))
                    seen << QString(d.letter) + (d.fixed ? u" fixed"_s : u""_s) + (d.ready ? u" ready"_s : u""_s) + (d.freeBytes > 0 ? u" free"_s : u""_s);
                return seen.join(u';');
            }
            else if (op == u"host") return fs.toHost(p).replace(driveC(), u"@"_s);
            else if (op == u"win") {
                const QString hostPath = QString(p).replace(u'@', driveC());
                const QString windows = fs.toWindows(hostPath);
                // Every path comes back to the same place, also through Z:, the host's root.
                return windows + (fs.toHost(windows) == QDir::cleanPath(hostPath) ? u""_s : u" (no way back)"_s);
            }
            else return u"unknown operation"_s;
        } catch (const LmError &e) {
            return u'!' + errors.value(e.number(), QString::number(e.number()));
        }
        return {};
    }
};

} // namespace

class TstFileSystem : public QObject
{
    Q_OBJECT

private slots:
    void operations_data()
    {
        QTest::addColumn<QString>("files");   // the tree before, see Sandbox
        QTest::addColumn<QString>("command"); // see Sandbox::run
        QTest::addColumn<QString>("result");
        QTest::addColumn<QString>("after");   // the whole tree afterwards, "=" when unchanged
        const QString h = u"fs2002/scenery.cfg=x;fs2002/texture/"_s;
        QTest::newRow("other case") << h << u"host|C:\\FS2002\\SCENERY.CFG"_s << u"@/fs2002/scenery.cfg"_s << u"="_s;
        QTest::newRow("doubled separators") << h << u"host|C:\\\\FS2002\\\\scenery.cfg\\"_s << u"@/fs2002/scenery.cfg"_s << u"="_s;
        QTest::newRow("missing tail kept as written") << h << u"host|C:\\FS2002\\Addon\\X.BGL"_s << u"@/fs2002/Addon/X.BGL"_s << u"="_s;
        QTest::newRow("dot dot after a missing folder") << h << u"host|C:\\Nope\\..\\FS2002\\.\\SCENERY.CFG"_s << u"@/fs2002/scenery.cfg"_s << u"="_s;
        QTest::newRow("dot dot stays on the drive") << h << u"host|C:\\..\\..\\fs2002"_s << u"@/fs2002"_s << u"="_s;
        QTest::newRow("drive root") << h << u"host|C:\\"_s << u"@"_s << u"="_s;
        QTest::newRow("unc") << h << u"host|\\\\server\\share\\fs2002"_s << u""_s << u"="_s;
        QTest::newRow("unmapped drive") << h << u"host|Q:\\fs2002"_s << u""_s << u"="_s;
        QTest::newRow("relative") << h << u"host|fs2002\\scenery.cfg"_s << u""_s << u"="_s;
        QTest::newRow("to Windows, on C") << u""_s << u"win|@/FS2002/Scenery.cfg"_s << u"C:\\FS2002\\Scenery.cfg"_s << u"="_s;
        QTest::newRow("to Windows, longest drive wins") << u""_s << u"win|@/games/fs/x.bgl"_s << u"D:\\fs\\x.bgl"_s << u"="_s;
        QTest::newRow("to Windows, prefix of a name is no folder") << u""_s << u"win|@/gamesx/a"_s << u"C:\\gamesx\\a"_s << u"="_s;
        QTest::newRow("to Windows, outside, no Z") << u""_s << u"win|/usr/share"_s << u"Z:\\usr\\share"_s << u"="_s;
        QTest::newRow("drives in letter order") << u""_s << u"drives|"_s << u"C fixed ready free;D"_s << u"="_s;
        QTest::newRow("resolve a Windows path, other case") << h << u"resolve|c:/FS2002/Scenery.CFG"_s << u"@/fs2002/scenery.cfg"_s << u"="_s;
        QTest::newRow("resolve Z: as the host root") << h << u"resolve|z:\\usr\\bin\\xdg-open"_s << u"/usr/bin/xdg-open"_s << u"="_s;
        QTest::newRow("resolve a bare command") << h << u"resolve|xdg-open"_s << u"xdg-open"_s << u"="_s;
        QTest::newRow("resolve an unmapped drive") << h << u"resolve|Q:\\x.exe"_s << u""_s << u"="_s;
        QTest::newRow("resolve a network path") << h << u"resolve|\\\\server\\x.exe"_s << u""_s << u"="_s;
        QTest::newRow("start a program") << h << u"start|/bin/sh|-c|exit 0"_s << u"started"_s << u"="_s;
        QTest::newRow("start a missing program") << h << u"start|/nonexistent/program"_s << u"not started"_s << u"="_s;
        const QString q = u"Data/a.txt=upper;data/a.txt=lower;d/b.txt;d/A.txt;d/c.TXT;d/.dot;d/Zeta/;d/alpha/;"
                          "s/a.bgl=1;s/texture/b.bmp=22;s/texture/deep/.c=333;s/empty/;s.bin=outside"_s;
        QTest::newRow("exact case preferred") << q << u"read|C:\\data\\A.TXT"_s << u"lower"_s << u"="_s;
        QTest::newRow("no exact case: first by code order") << q << u"read|C:\\DATA\\A.TXT"_s << u"upper"_s << u"="_s;
        QTest::newRow("read unmapped") << q << u"read|Q:\\a.txt"_s << u"!FileNotFound"_s << u"="_s;
        QTest::newRow("files sorted without case") << q << u"files|C:\\D\\"_s << u".dot,A.txt,b.txt,c.TXT"_s << u"="_s;
        QTest::newRow("size counts every level") << q << u"size|C:\\S"_s << u"6"_s << u"="_s;
        const QString f = u"src/a.bgl=new;dst/old.bgl=old;dst/locked.bgl=old!"_s;
        QTest::newRow("copy new") << f << u"copy|C:\\src\\a.bgl|C:\\dst\\b.bgl"_s << u""_s << u"dst/b.bgl=new;dst/locked.bgl=old!;dst/old.bgl=old;src/a.bgl=new"_s;
        QTest::newRow("copy over, other case") << f << u"copy|C:\\src\\a.bgl|C:\\dst\\OLD.BGL"_s << u""_s << u"dst/locked.bgl=old!;dst/old.bgl=new;src/a.bgl=new"_s;
        QTest::newRow("copy not over") << f << u"copy-keep|C:\\src\\a.bgl|C:\\dst\\old.bgl"_s << u"!FileAlreadyExists"_s << u"="_s;
        QTest::newRow("copy over read-only") << f << u"copy|C:\\src\\a.bgl|C:\\dst\\locked.bgl"_s << u"!PermissionDenied"_s << u"="_s;
        const QString p = u"src/a.bgl=a;src/B.BMP=b;src/sub/c.bgl=c;dst/b.bmp=old;dst/x.BMP=x!"_s;
        QTest::newRow("copy *.* skips folders, overwrites") << p << u"copy|C:\\src\\*.*|C:\\dst"_s << u""_s << u"dst/a.bgl=a;dst/b.bmp=b;dst/x.BMP=x!;src/B.BMP=b;src/a.bgl=a;src/sub/c.bgl=c"_s;
        QTest::newRow("copy pattern without case") << p << u"copy|C:\\src\\*.BGL|C:\\src\\sub\\"_s << u""_s << u"dst/b.bmp=old;dst/x.BMP=x!;src/B.BMP=b;src/a.bgl=a;src/sub/a.bgl=a;src/sub/c.bgl=c"_s;
        QTest::newRow("delete pattern, read-only too") << p << u"del|C:\\dst\\*.bmp"_s << u""_s << u"dst/;src/B.BMP=b;src/a.bgl=a;src/sub/c.bgl=c"_s;
        const QString m = u"a/f.txt=moving;b/taken.txt=stays"_s;
        QTest::newRow("move rename") << m << u"move|C:\\a\\F.TXT|C:\\a\\g.txt"_s << u""_s << u"a/g.txt=moving;b/taken.txt=stays"_s;
        QTest::newRow("move into folder") << m << u"move|C:\\A\\f.txt|c:\\B\\"_s << u""_s << u"a/;b/f.txt=moving;b/taken.txt=stays"_s;
        QTest::newRow("move case only") << m << u"move|C:\\a\\f.txt|C:\\a\\F.Txt"_s << u""_s << u"a/F.Txt=moving;b/taken.txt=stays"_s;
        QTest::newRow("move onto a file") << m << u"move|C:\\a\\f.txt|C:\\b\\taken.txt"_s << u"!FileAlreadyExists"_s << u"="_s;
        const QString d = u"sc/old/scenery/a.bgl=x;sc/old/sub/;addon/"_s;
        QTest::newRow("folder rename") << d << u"movedir|C:\\Sc\\Old|C:\\sc\\New Name"_s << u""_s << u"addon/;sc/New Name/scenery/a.bgl=x;sc/New Name/sub/"_s;
        QTest::newRow("folder case only") << d << u"movedir|C:\\sc\\old|C:\\sc\\OLD"_s << u""_s << u"addon/;sc/OLD/scenery/a.bgl=x;sc/OLD/sub/"_s;
        QTest::newRow("folder into itself") << d << u"movedir|C:\\sc\\old|C:\\sc\\old\\sub\\x"_s << u"!PathFileAccess"_s << u"="_s;
        const QString r = u"dir/ro.txt=x!;dir/rw.txt=y"_s;
        QTest::newRow("delete read-only, forced") << r << u"del|C:\\DIR\\RO.TXT"_s << u""_s << u"dir/rw.txt=y"_s;
        QTest::newRow("delete read-only, not forced") << r << u"del-soft|C:\\dir\\ro.txt"_s << u"!PermissionDenied"_s << u"="_s;
        QTest::newRow("clear read-only mark") << r << u"unlock|C:\\DIR\\RO.TXT"_s << u""_s << u"dir/ro.txt=x;dir/rw.txt=y"_s;
        const QString v = u"victim/a.txt=a;victim/sub/deeper/b.txt=b!;victim/sub/deeper/!;victim/.h=h;victimize/k=k"_s;
        QTest::newRow("folder with read-only content, forced") << v << u"rmdir|C:\\VICTIM"_s << u""_s << u"victimize/k=k"_s;
        QTest::newRow("folder with read-only content, not forced") << v << u"rmdir-soft|C:\\victim"_s << u"!PermissionDenied"_s << u"="_s;
        const QString c = u"fs/scenery.cfg=x;fs/texture/t.bmp=t"_s;
        QTest::newRow("create") << c << u"mkdir|C:\\FS\\Addon\\"_s << u""_s << u"fs/Addon/;fs/scenery.cfg=x;fs/texture/t.bmp=t"_s;
        QTest::newRow("append creates as spelled") << u"log/"_s << u"append|C:\\LOG\\Debug.Log|x"_s << u""_s << u"log/Debug.Log=x\r\n"_s;
        QTest::newRow("append adds in CP1252") << u"log/d.log=a\r\n"_s << u"append|C:\\log\\D.LOG|\xe4"_s << u""_s << u"log/d.log=a\r\n\xe4\r\n"_s;
        QTest::newRow("short: long folder") << u"dir/Program Files/"_s << u"short|C:\\DIR\\PROGRAM FILES"_s << u"PROGRA~1"_s << u"="_s;
        QTest::newRow("short: second of two") << u"dir/Program Files;dir/Program Files (x86)"_s << u"short|C:\\dir\\program files (x86)"_s << u"PROGRA~2"_s << u"="_s;
        QTest::newRow("short: third, case ignored in order") << u"d/scenery one;d/Scenery Two;d/SCENERY three"_s << u"short|C:\\d\\Scenery Two"_s << u"SCENER~3"_s << u"="_s;
        QTest::newRow("short: literal short name taken") << u"d/PROGRA~1;d/Program Files"_s << u"short|C:\\d\\Program Files"_s << u"PROGRA~2"_s << u"="_s;
        QTest::newRow("short: other extensions do not collide") << u"d/Long Name.bgl;d/Long Name.bmp"_s << u"short|C:\\d\\Long Name.bmp"_s << u"LONGNA~1.BMP"_s << u"="_s;
        QTest::newRow("short: eight dot three") << u"d/AIRPORTS.BGL;d/AIRPORTS 2.BGL"_s << u"short|C:\\d\\airports.bgl"_s << u"AIRPORTS.BGL"_s << u"="_s;
        QTest::newRow("read CR LF") << u"f=a\r\nb\r\n"_s << u"readlines|C:\\F"_s << u"a|b"_s << u"="_s;
        QTest::newRow("read mixed, empty lines kept") << u"f=a\r\n\r\n\nb\r\n"_s << u"readlines|C:\\F"_s << u"a|||b"_s << u"="_s;
        // A byte-order mark says the file was saved as UTF-8; the mark is no part of the first line.
        QTest::newRow("read UTF-8 after its mark")
            << u"f=\u00EF\u00BB\u00BF[General]\r\nTitle=Z\u00C3\u00BCrich\r\n"_s << u"readlines|C:\\F"_s
            << u"[General]|Title=Z\u00FCrich"_s << u"="_s;
        QTest::newRow("read CR only")
            << u"f=[General]\rTitle=x\r"_s << u"readlines|C:\\F"_s << u"[General]|Title=x"_s << u"="_s;
        QTest::newRow("read windows-1252, blanks kept") << u"f= caf\xe9 \x80\t\r\n"_s << u"readlines|C:\\F"_s << u" café €\t"_s << u"="_s;
        const QString o = u"out.txt=something much longer than the new content"_s;
        QTest::newRow("lines end with CR LF") << o << u"lines|C:\\OUT.TXT|[General]|Title=x"_s << u""_s << u"out.txt=[General]\r\nTitle=x\r\n"_s;
        QTest::newRow("lines in windows-1252") << o << u"lines|C:\\out.txt|Ærø €„™Ÿ"_s << u""_s << u"out.txt=\xc6r\xf8 \x80\x84\x99\x9f\r\n"_s;
        QTest::newRow("lines outside the page") << o << u"lines|C:\\out.txt|Łódź \u0080 a\U0001F600b"_s << u""_s << u"out.txt=?\xf3" "d? ? a?b\r\n"_s;
        QTest::newRow("writer commits the same") << o << u"writer|C:\\OUT.TXT|[General]|Title=\xe9"_s << u""_s << u"out.txt=[General]\r\nTitle=\xe9\r\n"_s;
        QTest::newRow("failed write: read-only target") << u"data/Scenery.cfg=old!"_s << u"lines|C:\\data\\Scenery.cfg|new"_s << u"!PathFileAccess"_s << u"="_s;
        QTest::newRow("failed write: folder missing") << u"data/Scenery.cfg=old"_s << u"lines|C:\\nodata\\Scenery.cfg|new"_s << u"!PathNotFound"_s << u"="_s;
        QTest::newRow("failed writer: read-only target") << u"data/Scenery.cfg=old!"_s << u"writer|C:\\data\\Scenery.cfg|new"_s << u"!PathFileAccess"_s << u"="_s;
    }
    void operations()
    {
        QFETCH(QString, files);
        QFETCH(QString, command);
        QFETCH(QString, result);
        QFETCH(QString, after);
        Sandbox box(files);
        const QString before = box.tree();
        QCOMPARE(box.run(command), result);
        // A failed write leaves the old file whole and nothing half-written beside it.
        QCOMPARE(box.tree(), after == u"=" ? before : after);
    }

    void cp1252RoundTripsEveryByte()
    {
        QByteArray all;
        for (int b = 0; b < 256; ++b)
            all.append(char(b));
        const QString text = Cp1252::decode(all);
        QCOMPARE(Cp1252::encode(text), all);
        // 0x80-0x9F are the code page's own letters, not C1 controls (0x81 has none).
        QCOMPARE(text.mid(0x80, 0x20), u"\u20AC\u0081\u201A\u0192\u201E\u2026\u2020\u2021\u02C6\u2030\u0160\u2039"
                                       "\u0152\u008D\u017D\u008F\u0090\u2018\u2019\u201C\u201D\u2022\u2013\u2014"
                                       "\u02DC\u2122\u0161\u203A\u0153\u009D\u017E\u0178"_s);
        QCOMPARE(text.at(0xE9), QChar(0xE9));
    }
};

QTEST_GUILESS_MAIN(TstFileSystem)
#include "tst_filesystem.moc"
