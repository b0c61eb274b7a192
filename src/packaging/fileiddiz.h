#pragma once

#include "library/records.h"
#include "platform/appcontext.h"
#include "platform/outcome.h"

#include <QString>

#include <functional>

class SceneryManager;

// "FILE_ID.DIZ", the short description that travels with a scenery: single-byte text in the
// scenery's local folder, at most MaxLength characters, a line break (CR LF) counting as two.
namespace FileIdDiz {

constexpr qsizetype MaxLength = 450;

// The scenery's local folder (its Local path resolved) + "\FILE_ID.DIZ".
QString path(const SceneryManager &manager, const clsScenery &scenery);
// The whole file as text; "" when there is none.
QString read(const FileSystem &fs, const QString &path);
// Replaces the file with the first MaxLength characters of the text, nothing added; the old file
// stays whole when the writing fails.
void write(const FileSystem &fs, const QString &path, const QString &text);

} // namespace FileIdDiz

// The dialog "Edit FILE_ID.DIZ": one text field in a fixed-pitch font, OK and Cancel. bOK is
// false until OK is pressed. Line ends in txtText are CR LF, as the file holds them.
class EditFileIdDizDialog : public FormLogic
{
public:
    QString formName() const override { return QStringLiteral("EditFileIdDizDialog"); }
    QString caption() const { return QStringLiteral("Edit FILE_ID.DIZ"); }

    void cmdOK_Click()
    {
        bOK = true;
        visible = false;
    }
    void cmdCancel_Click() { visible = false; }

    QString txtText;
    bool bOK = false;
    bool visible = true;
};

namespace PackagingCommands {
using StatusFn = std::function<void(const QString &)>;

// "Create &FILE_ID.DIZ" on the current scenery: refused without a Local path; the file is created
// empty when missing, shown in the edit dialog and written back after OK (Cancel: Stopped, the
// file as it was). A failure is reported under the procedure's name.
Outcome mnuWizardCreateDIZ_Click(AppContext &context, const SceneryManager &manager,
                                 const clsScenery &scenery, const StatusFn &display);
} // namespace PackagingCommands
