#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// Every window of the program is a logic object in the core; the UI port shows it modally. The
// GUI builds the Qt view bound to the object, tests act on the object from a script.
class FormLogic
{
public:
    virtual ~FormLogic() = default;
    // The window's name, e.g. "frmSelectSets"; a scripted test matches on it.
    virtual QString formName() const = 0;
};

// The one way the core talks to the person in front of the program: message boxes, questions,
// prompts, file and folder choosers, modal windows, the busy pointer and letting pending window
// events run. The GUI, the command line and the tests each implement it.
class UiPort
{
public:
    enum class Icon { None, Information, Question, Exclamation, Critical };
    enum class Buttons { Ok, OkCancel, YesNo };
    enum class Answer { Ok, Cancel, Yes, No };

    struct FileChooser
    {
        QString title;
        QString filter;      // "Description|pattern|Description|pattern", as the program writes it
        QString initialDir;  // Windows form
        QString fileName;    // preset name
        bool mustExist = false;
        bool save = false;
    };

    virtual ~UiPort() = default;

    virtual Answer message(const QString &text, const QString &title, Buttons buttons, Icon icon) = 0;
    // The input prompt; an empty text when the user cancels, as the prompt has always behaved.
    virtual QString input(const QString &prompt, const QString &title, const QString &defaultText) = 0;
    // File and folder choosers hand back a path in Windows form, or nothing when cancelled.
    virtual std::optional<QString> chooseFile(const FileChooser &chooser) = 0;
    virtual std::optional<QString> chooseFolder(const QString &title, const QString &initialDir) = 0;
    // Shows a window modally; returns when it was hidden or closed.
    virtual void showModal(FormLogic &form) = 0;
    virtual void setBusy(bool busy) = 0;
    // Lets pending window events run, so long loops keep the window responsive.
    virtual void processEvents() = 0;

    // A long job's window (see ProgressWindow): its title, the item it is at and a Cancel button.
    // A port without one shows nothing and is never cancelled.
    virtual void progressShow(const QString &title) { (void)title; }
    // The item now worked on, done of total (total 0 when unknown); lets pending events run.
    // False once the user pressed Cancel.
    virtual bool progressStep(const QString &item, int done, int total)
    {
        (void)item, (void)done, (void)total;
        processEvents();
        return true;
    }
    virtual void progressHide() {}

    // Convenience forms.
    void inform(const QString &text, const QString &title, Icon icon = Icon::Information)
    {
        message(text, title, Buttons::Ok, icon);
    }
    bool askYesNo(const QString &text, const QString &title, Icon icon = Icon::None)
    {
        return message(text, title, Buttons::YesNo, icon) == Answer::Yes;
    }
};

// The progress window of a long job, shown for its scope: each step names the file worked on, and
// a job asks before each file whether the user has cancelled.
class ProgressWindow
{
public:
    ProgressWindow(UiPort &ui, const QString &title) : m_ui(ui) { m_ui.progressShow(title); }
    ~ProgressWindow() { m_ui.progressHide(); }
    ProgressWindow(const ProgressWindow &) = delete;
    ProgressWindow &operator=(const ProgressWindow &) = delete;

    // False once the user cancelled; later steps show nothing more.
    bool step(const QString &item, int done, int total)
    {
        if (!m_cancelled && !m_ui.progressStep(item, done, total))
            m_cancelled = true;
        return !m_cancelled;
    }
    bool cancelled() const { return m_cancelled; }

private:
    UiPort &m_ui;
    bool m_cancelled = false;
};

// Restores the normal pointer however the scope is left.
class BusyPointer
{
public:
    explicit BusyPointer(UiPort &ui) : m_ui(ui) { m_ui.setBusy(true); }
    ~BusyPointer() { m_ui.setBusy(false); }
    BusyPointer(const BusyPointer &) = delete;
    BusyPointer &operator=(const BusyPointer &) = delete;

private:
    UiPort &m_ui;
};
