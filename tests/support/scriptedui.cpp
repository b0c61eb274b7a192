#include "support/scriptedui.h"

#include <QTest>

namespace {
const char *kindName(int kind)
{
    static const char *names[] = {"message", "message", "input", "file chooser", "folder chooser", "form"};
    return names[kind];
}
} // namespace

ScriptedUi::~ScriptedUi() = default;

ScriptedUi &ScriptedUi::expectMessage(const QString &text, const QString &title, Answer answer,
                                      std::optional<Icon> icon)
{
    m_script.push_back(Step{Kind::Message, text, title, answer, icon, {}, {}});
    return *this;
}

ScriptedUi &ScriptedUi::expectMessageStartingWith(const QString &textStart, const QString &title,
                                                  Answer answer)
{
    m_script.push_back(Step{Kind::MessagePrefix, textStart, title, answer, {}, {}, {}});
    return *this;
}

ScriptedUi &ScriptedUi::expectInput(const QString &prompt, const QString &title, const QString &answer)
{
    m_script.push_back(Step{Kind::Input, prompt, title, Answer::Ok, {}, answer, {}});
    return *this;
}

ScriptedUi &ScriptedUi::expectFile(std::optional<QString> answer, const QString &title)
{
    m_script.push_back(Step{Kind::File, {}, title, Answer::Ok, {}, std::move(answer), {}});
    return *this;
}

ScriptedUi &ScriptedUi::expectFolder(std::optional<QString> answer, const QString &title)
{
    m_script.push_back(Step{Kind::Folder, {}, title, Answer::Ok, {}, std::move(answer), {}});
    return *this;
}

ScriptedUi &ScriptedUi::expectForm(const QString &formName, std::function<void(FormLogic &)> act)
{
    m_script.push_back(Step{Kind::Form, formName, {}, Answer::Ok, {}, {}, std::move(act)});
    return *this;
}

bool ScriptedUi::allShown() const
{
    for (const Step &s : m_script)
        qWarning("announced but not shown: %s \"%s\"", kindName(int(s.kind)), qPrintable(s.text));
    return m_script.empty();
}

std::optional<ScriptedUi::Step> ScriptedUi::standingStep(Kind kind, const QString &text,
                                                         const QString &title) const
{
    for (const Step &s : m_script) {
        const bool matches = kind == Kind::Message
                                 ? (s.kind == Kind::Message && s.text == text) ||
                                       (s.kind == Kind::MessagePrefix && text.startsWith(s.text))
                             : kind == Kind::File || kind == Kind::Folder
                                 ? s.kind == kind && (s.title.isEmpty() || s.title == title)
                                 : s.kind == kind && s.text == text;
        if (matches)
            return s;
    }
    return std::nullopt;
}

std::optional<ScriptedUi::Step> ScriptedUi::next(Kind kind, const QString &what)
{
    const bool isMessage = kind == Kind::Message;
    if (m_script.empty()) {
        QTest::qFail(
            qPrintable(QStringLiteral("unexpected %1: %2").arg(QLatin1String(kindName(int(kind))), what)),
            __FILE__, __LINE__);
        return std::nullopt;
    }
    Step step = m_script.front();
    const bool kindMatches = step.kind == kind || (isMessage && step.kind == Kind::MessagePrefix);
    if (!kindMatches) {
        QTest::qFail(qPrintable(QStringLiteral("expected %1 \"%2\", got %3: %4")
                                    .arg(QLatin1String(kindName(int(step.kind))), step.text,
                                         QLatin1String(kindName(int(kind))), what)),
                     __FILE__, __LINE__);
        return std::nullopt;
    }
    m_script.pop_front();
    return step;
}

UiPort::Answer ScriptedUi::message(const QString &text, const QString &title, Buttons buttons, Icon icon)
{
    m_shown.append(QStringLiteral("message|%1|%2").arg(title, text));
    const Answer refusal = buttons == Buttons::YesNo      ? Answer::No
                           : buttons == Buttons::OkCancel ? Answer::Cancel
                                                          : Answer::Ok;
    if (m_standing) {
        const auto step = standingStep(Kind::Message, text, title);
        return step ? step->answer : refusal;
    }
    auto step = next(Kind::Message, title + QStringLiteral(": ") + text);
    if (!step)
        return refusal;
    const bool textMatches =
        step->kind == Kind::MessagePrefix ? text.startsWith(step->text) : text == step->text;
    if (!textMatches || (!step->title.isNull() && title != step->title) ||
        (step->icon && *step->icon != icon)) {
        QTest::qFail(
            qPrintable(QStringLiteral("message mismatch:\n  expected [%1] \"%2\"\n  got      [%3] \"%4\"")
                           .arg(step->title, step->text, title, text)),
            __FILE__, __LINE__);
        return refusal;
    }
    return step->answer;
}

QString ScriptedUi::input(const QString &prompt, const QString &title, const QString &defaultText)
{
    m_shown.append(QStringLiteral("input|%1|%2|%3").arg(title, prompt, defaultText));
    if (m_standing) {
        const auto step = standingStep(Kind::Input, prompt, title);
        return step ? step->reply.value_or(QString()) : QString();
    }
    auto step = next(Kind::Input, prompt);
    if (!step)
        return {};
    if (prompt != step->text || (!step->title.isNull() && title != step->title)) {
        QTest::qFail(
            qPrintable(QStringLiteral("input mismatch: expected \"%1\", got \"%2\"").arg(step->text, prompt)),
            __FILE__, __LINE__);
        return {};
    }
    return step->reply.value_or(QString());
}

std::optional<QString> ScriptedUi::chooseFile(const FileChooser &chooser)
{
    m_shown.append(QStringLiteral("file|%1|%2").arg(chooser.title, chooser.filter));
    if (m_standing) {
        const auto step = standingStep(Kind::File, {}, chooser.title);
        return step ? step->reply : std::nullopt;
    }
    auto step = next(Kind::File, chooser.title);
    if (!step)
        return std::nullopt;
    if (!step->title.isEmpty() && step->title != chooser.title) {
        QTest::qFail(
            qPrintable(
                QStringLiteral("file chooser \"%1\" expected, got \"%2\"").arg(step->title, chooser.title)),
            __FILE__, __LINE__);
        return std::nullopt;
    }
    return step->reply;
}

std::optional<QString> ScriptedUi::chooseFolder(const QString &title, const QString &initialDir)
{
    m_shown.append(QStringLiteral("folder|%1|%2").arg(title, initialDir));
    if (m_standing) {
        const auto step = standingStep(Kind::Folder, {}, title);
        return step ? step->reply : std::nullopt;
    }
    auto step = next(Kind::Folder, title);
    if (!step)
        return std::nullopt;
    if (!step->title.isEmpty() && step->title != title) {
        QTest::qFail(
            qPrintable(QStringLiteral("folder chooser \"%1\" expected, got \"%2\"").arg(step->title, title)),
            __FILE__, __LINE__);
        return std::nullopt;
    }
    return step->reply;
}

void ScriptedUi::showModal(FormLogic &form)
{
    m_shown.append(QStringLiteral("form|%1").arg(form.formName()));
    if (m_standing) {
        if (const auto step = standingStep(Kind::Form, form.formName(), {}); step && step->act)
            step->act(form);
        return;
    }
    auto step = next(Kind::Form, form.formName());
    if (!step)
        return;
    if (step->text != form.formName()) {
        QTest::qFail(qPrintable(QStringLiteral("form %1 expected, got %2").arg(step->text, form.formName())),
                     __FILE__, __LINE__);
        return;
    }
    if (step->act)
        step->act(form);
}

ScriptedUi &ScriptedUi::cancelProgressAt(int step)
{
    m_cancelAt = int(m_progress.size()) + step;
    return *this;
}

bool ScriptedUi::progressStep(const QString &item, int done, int total)
{
    if (m_progressTitle.isEmpty())
        QTest::qFail("A progress step outside a progress window", __FILE__, __LINE__);
    m_progress.append(ProgressStep{m_progressTitle, item, done, total});
    return int(m_progress.size()) != m_cancelAt;
}
