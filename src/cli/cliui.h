#pragma once

#include "platform/uiport.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <QTextStream>

#include <functional>

// The UI port of the command line. Nobody sits in front of it, so every dialog is answered from
// the options the command was started with: messages go to the error stream as "Title: text",
// questions are answered No (Cancel) unless --yes was given, input prompts take the next preset
// answer (or "" like a cancelled prompt), choosers are cancelled, and modal windows run a handler
// a command registered for them, or nothing at all. It keeps no record of what it showed: a
// command decides its exit code from the outcome of what it ran, never from a message.
class CliUi : public UiPort
{
public:
    using FormHandler = std::function<void(FormLogic &)>;

    explicit CliUi(QTextStream &errorStream);

    void setAssumeYes(bool yes) { m_assumeYes = yes; }
    bool assumeYes() const { return m_assumeYes; }
    void setPresetInputs(const QStringList &answers) { m_inputs = answers; }
    const QStringList &remainingInputs() const { return m_inputs; }
    // Puts an answer in front of the queue of input prompts.
    void presetNextInput(const QString &answer) { m_inputs.prepend(answer); }
    // Answers the question with this title this way, whatever --yes says.
    void setAnswerFor(const QString &title, Answer answer) { m_answers.insert(title, answer); }
    void setFormHandler(const QString &formName, FormHandler handler);

    Answer message(const QString &text, const QString &title, Buttons buttons, Icon icon) override;
    QString input(const QString &prompt, const QString &title, const QString &defaultText) override;
    std::optional<QString> chooseFile(const FileChooser &chooser) override;
    std::optional<QString> chooseFolder(const QString &title, const QString &initialDir) override;
    void showModal(FormLogic &form) override;
    void setBusy(bool) override {}
    void processEvents() override {}

private:
    void print(const QString &title, const QString &text);

    QTextStream &m_err;
    bool m_assumeYes = false;
    QStringList m_inputs;
    QHash<QString, Answer> m_answers;
    QHash<QString, FormHandler> m_formHandlers;
};
