#include "packaging/fileiddiz.h"

#include "library/scenerymanager.h"
#include "platform/errorreporter.h"
#include "platform/lmerror.h"
#include "platform/winpath.h"

QString FileIdDiz::path(const SceneryManager &manager, const clsScenery &scenery)
{
    return WinPath::join(manager.getRealPath(scenery.LocalPath), QStringLiteral("FILE_ID.DIZ"));
}

QString FileIdDiz::read(const FileSystem &fs, const QString &path)
{
    return fs.fileExists(path) ? Cp1252::decode(fs.readAll(path)) : QString();
}

void FileIdDiz::write(const FileSystem &fs, const QString &path, const QString &text)
{
    fs.writeAll(path, Cp1252::encode(text.left(MaxLength)));
}

Outcome PackagingCommands::mnuWizardCreateDIZ_Click(AppContext &context, const SceneryManager &manager,
                                                    const clsScenery &scenery, const StatusFn &display)
{
    const auto show = [&display](const QString &text) {
        if (display)
            display(text);
    };
    show(QStringLiteral("Create FILE_ID.DIZ"));
    Outcome outcome = Outcome::done();
    if (scenery.LocalPath.isEmpty()) {
        const QString text = QStringLiteral("Please choose a local path first.");
        context.ui.inform(text, QStringLiteral("Can not create FILE_ID.DIZ"), UiPort::Icon::Information);
        outcome = Outcome::refused(text);
    } else {
        const QString file = FileIdDiz::path(manager, scenery);
        try {
            const FileSystem &fs = context.fs;
            if (!fs.fileExists(file))
                fs.writeAll(file, QByteArray());
            EditFileIdDizDialog dialog;
            dialog.txtText = FileIdDiz::read(fs, file);
            context.ui.showModal(dialog);
            if (dialog.bOK)
                FileIdDiz::write(fs, file, dialog.txtText);
            else
                outcome = Outcome::stopped();
        } catch (const LmError &e) {
            reportError(context.ui, QStringLiteral(".mnuWizardCreateDIZ_Click"), e);
            outcome = Outcome::failed(e, file);
        }
    }
    show(QStringLiteral("Ready."));
    return outcome;
}
