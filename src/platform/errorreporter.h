#pragma once

#include "platform/lmerror.h"
#include "platform/uiport.h"

#include <QString>

// The program-wide failure message: the procedure's name ("SceneryManager.readCFG", or
// ".Form_Load" for a window's procedure), "Error: " and the number, and the description, with a
// critical icon.
QString errorMessageText(const QString &procedure, const LmError &error);
void reportError(UiPort &ui, const QString &procedure, const LmError &error);
// Runs one step; a failure is reported under the procedure's name and the caller goes on. For the
// procedures that continue after an error with the next statement.
template<typename F>
bool runStep(UiPort &ui, const QString &procedure, F &&step)
{
    try {
        step();
        return true;
    } catch (const LmError &e) {
        reportError(ui, procedure, e);
        return false;
    }
}
