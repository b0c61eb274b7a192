// FILE_ID.DIZ on arbitrary bytes: read, and written back as the edit dialog writes it when OK is
// pressed without a change. What is written reads back as the text read, cut at the length the
// file may have.

#include "fuzzfiles.h"
#include "fuzzlibrary.h"
#include "readerchecks.h"

#include "packaging/fileiddiz.h"

QString checkFileIdDiz(const QByteArray &input)
{
    SilentInstallation &inst = FuzzLibrary::instance().inst;
    const QString path = QStringLiteral("C:\\Addon\\Diz\\FILE_ID.DIZ");
    inst.writeFile(path, input);
    const QString text = FileIdDiz::read(inst.fs, path);
    FileIdDiz::write(inst.fs, path, text);
    const QString again = FileIdDiz::read(inst.fs, path);
    if (again != text.left(FileIdDiz::MaxLength))
        return finding("FILE_ID.DIZ reads back otherwise after it was written unchanged");
    return {};
}
