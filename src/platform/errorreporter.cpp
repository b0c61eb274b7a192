#include "platform/errorreporter.h"

QString errorMessageText(const QString &procedure, const LmError &error)
{
    return procedure + QLatin1Char('\n') + QStringLiteral("Error: ") + QString::number(error.number())
           + QLatin1Char('\n') + error.description();
}

void reportError(UiPort &ui, const QString &procedure, const LmError &error)
{
    ui.message(errorMessageText(procedure, error), QStringLiteral("Lumivale"), UiPort::Buttons::Ok,
               UiPort::Icon::Critical);
}
