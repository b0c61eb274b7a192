#pragma once

#include "platform/filesystem.h"
#include "platform/uiport.h"

#include <QElapsedTimer>
#include <QHash>
#include <QPointer>
#include <QProgressDialog>
#include <QWidget>

#include <functional>

class QDialog;

class QFont;

// The UI port of the GUI: message boxes, prompts and choosers as Qt dialogs, and each logic
// window shown through the Qt view registered for its name.
class GuiUiPort : public UiPort
{
public:
    // Builds the view of a logic window; the view binds its widgets to the logic object and hides
    // itself (accept/reject) when the logic's OK / Cancel / Delete ran.
    using ViewFactory = std::function<QDialog *(FormLogic &form, QWidget *parent)>;

    explicit GuiUiPort(const FileSystem &fs);
    // The file system is created after the port by the start-up, which hands it over then.
    GuiUiPort() = default;
    void setFileSystem(const FileSystem &fs) { m_fs = &fs; }

    static void registerView(const QString &formName, ViewFactory factory);

    // The width of an input prompt: room for its whole title beside the title bar's icon and
    // buttons, and for a comfortable text field.
    static int promptWidth(const QString &title, const QFont &font);
    static constexpr int MinimumPromptWidth = 360;
    static constexpr int TitleBarRoom = 160;

    // The window dialogs are parented to (the main window, once it exists).
    void setParentWidget(QWidget *parent) { m_parent = parent; }

    Answer message(const QString &text, const QString &title, Buttons buttons, Icon icon) override;
    QString input(const QString &prompt, const QString &title, const QString &defaultText) override;
    std::optional<QString> chooseFile(const FileChooser &chooser) override;
    std::optional<QString> chooseFolder(const QString &title, const QString &initialDir) override;
    void showModal(FormLogic &form) override;
    void setBusy(bool busy) override;
    void processEvents() override;
    void progressShow(const QString &title) override;
    bool progressStep(const QString &item, int done, int total) override;
    void progressHide() override;

    // The progress window of the job running, if it has appeared.
    QProgressDialog *progressDialog() const { return m_progress; }

private:
    static QHash<QString, ViewFactory> &registry();
    QString hostFolder(const QString &windowsFolder) const;

    const FileSystem *m_fs = nullptr;
    QPointer<QWidget> m_parent;
    int m_busyDepth = 0;
    QElapsedTimer m_sinceEvents;
    QPointer<QProgressDialog> m_progress;
};
