#pragma once

#include "platform/uiport.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <deque>
#include <functional>
#include <optional>

// The UI port of the tests: every dialog the code under test shows must have been announced, in
// order, with the answer to give. Anything else fails the running test.
class ScriptedUi : public UiPort
{
public:
    ScriptedUi() = default;
    ~ScriptedUi() override;

    // A message box with exactly this text and title (the icon is checked when given).
    ScriptedUi &expectMessage(const QString &text, const QString &title, Answer answer = Answer::Ok,
                              std::optional<Icon> icon = {});
    // A message box whose text starts with the given text.
    ScriptedUi &expectMessageStartingWith(const QString &textStart, const QString &title,
                                          Answer answer = Answer::Ok);
    ScriptedUi &expectInput(const QString &prompt, const QString &title, const QString &answer);
    ScriptedUi &expectFile(std::optional<QString> answer, const QString &title = {});
    ScriptedUi &expectFolder(std::optional<QString> answer, const QString &title = {});
    // A modal window; act plays the user's part on its logic object.
    ScriptedUi &expectForm(const QString &formName, std::function<void(FormLogic &)> act = {});
    template<typename T> ScriptedUi &expectForm(const QString &formName, std::function<void(T &)> act)
    {
        return expectForm(formName, [act](FormLogic &f) { act(dynamic_cast<T &>(f)); });
    }

    // Progress windows show nothing to answer; each step is recorded. The n-th step from now on
    // (1 the next) is answered with Cancel.
    ScriptedUi &cancelProgressAt(int step);
    struct ProgressStep
    {
        QString title; // of the window the step was shown in
        QString item;
        int done = 0;
        int total = 0;
    };
    const QList<ProgressStep> &progressSteps() const { return m_progress; }
    // A progress window is open.
    bool progressOpen() const { return !m_progressTitle.isEmpty(); }

    // From now on every dialog announced so far answers each time it is shown, in any order, and
    // one not announced is recorded and refused instead of failing the test: for running one
    // operation many times, each run stopping at another point.
    ScriptedUi &standing()
    {
        m_standing = true;
        return *this;
    }

    // True when every announced dialog was shown; prints what is left otherwise.
    bool allShown() const;
    qsizetype pending() const { return qsizetype(m_script.size()); }

    // Everything shown, one line each ("message|title|text", "input|title|prompt", ...).
    const QStringList &shown() const { return m_shown; }
    int processEventsCalls() const { return m_processEvents; }
    bool busy() const { return m_busy; }

    Answer message(const QString &text, const QString &title, Buttons buttons, Icon icon) override;
    QString input(const QString &prompt, const QString &title, const QString &defaultText) override;
    std::optional<QString> chooseFile(const FileChooser &chooser) override;
    std::optional<QString> chooseFolder(const QString &title, const QString &initialDir) override;
    void showModal(FormLogic &form) override;
    void setBusy(bool busy) override { m_busy = busy; }
    void processEvents() override { ++m_processEvents; }
    void progressShow(const QString &title) override { m_progressTitle = title; }
    bool progressStep(const QString &item, int done, int total) override;
    void progressHide() override { m_progressTitle.clear(); }

private:
    enum class Kind { Message, MessagePrefix, Input, File, Folder, Form };
    struct Step
    {
        Kind kind;
        QString text;
        QString title;
        Answer answer = Answer::Ok;
        std::optional<Icon> icon;
        std::optional<QString> reply;
        std::function<void(FormLogic &)> act;
    };

    std::optional<Step> next(Kind kind, const QString &what);
    // Standing mode: the first announced dialog of the kind that matches (a message's text, an
    // input's prompt, a form's name, a chooser's title when one was given).
    std::optional<Step> standingStep(Kind kind, const QString &text, const QString &title) const;

    std::deque<Step> m_script;
    QStringList m_shown;
    int m_processEvents = 0;
    bool m_busy = false;
    bool m_standing = false;
    QList<ProgressStep> m_progress;
    QString m_progressTitle;
    int m_cancelAt = 0; // index into m_progress + 1; 0 never
};
