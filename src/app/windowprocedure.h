#pragma once

#include "platform/errorreporter.h"

#include <QLatin1StringView>

#include <utility>

// Runs the body of one of the main window's procedures. A failure ends the procedure and is
// reported as the window's procedures report theirs: "." and the procedure's name.
template<typename F> void guarded(UiPort &ui, const char *procedure, F &&body)
{
    runStep(ui, QLatin1Char('.') + QLatin1StringView(procedure), std::forward<F>(body));
}
