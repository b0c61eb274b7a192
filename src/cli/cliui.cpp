#include "cli/cliui.h"

CliUi::CliUi(QTextStream &errorStream) : m_err(errorStream) {}

void CliUi::setFormHandler(const QString &formName, FormHandler handler)
{
    m_formHandlers.insert(formName, std::move(handler));
}

void CliUi::print(const QString &title, const QString &text)
{
    m_err << title << QStringLiteral(": ") << text << Qt::endl;
}

UiPort::Answer CliUi::message(const QString &text, const QString &title, Buttons buttons, Icon)
{
    Answer answer = Answer::Ok;
    QString note;
    const auto preset = m_answers.constFind(title);
    switch (buttons) {
    case Buttons::Ok:
        break;
    case Buttons::YesNo:
        if (preset != m_answers.constEnd())
            answer = *preset == Answer::Yes || *preset == Answer::Ok ? Answer::Yes : Answer::No;
        else
            answer = m_assumeYes ? Answer::Yes : Answer::No;
        note = answer == Answer::Yes ? QStringLiteral("Yes") : QStringLiteral("No");
        break;
    case Buttons::OkCancel:
        if (preset != m_answers.constEnd())
            answer = *preset == Answer::Yes || *preset == Answer::Ok ? Answer::Ok : Answer::Cancel;
        else
            answer = m_assumeYes ? Answer::Ok : Answer::Cancel;
        note = answer == Answer::Ok ? QStringLiteral("OK") : QStringLiteral("Cancel");
        break;
    }
    // A question is answered without anyone seeing it; say which way, so a log of the run shows
    // why a command went the way it did.
    print(title, note.isEmpty() ? text : text + QStringLiteral(" [answered ") + note + QLatin1Char(']'));
    return answer;
}

QString CliUi::input(const QString &prompt, const QString &title, const QString &)
{
    const QString answer = m_inputs.isEmpty() ? QString() : m_inputs.takeFirst();
    print(title, prompt + QStringLiteral(" [answered \"") + answer + QStringLiteral("\"]"));
    return answer;
}

std::optional<QString> CliUi::chooseFile(const FileChooser &chooser)
{
    print(chooser.title, QStringLiteral("[file chooser cancelled]"));
    return std::nullopt;
}

std::optional<QString> CliUi::chooseFolder(const QString &title, const QString &)
{
    print(title, QStringLiteral("[folder chooser cancelled]"));
    return std::nullopt;
}

void CliUi::showModal(FormLogic &form)
{
    const auto handler = m_formHandlers.constFind(form.formName());
    if (handler != m_formHandlers.constEnd() && *handler)
        (*handler)(form);
}
