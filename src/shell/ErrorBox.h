#pragma once

#include "reader/Errors.h"

#include <QString>

#include <utility>

namespace vog {

// The application's title, which error boxes carry: the program file's name without its
// folder, cut at its first ".", every letter after the first lower-cased.
QString titleFromProgramFile(const QString &programFile);
QString applicationTitle();

// The one place errors are shown: a modal box with the stop sign, the application's title and
// the message, ending in a full stop.
void showError(const QString &message);
// How many error boxes this run has shown: a command can tell whether a step of it showed one.
int errorBoxesShown();

// Runs a command; an error that ends it is shown here and goes no further.
template <typename Command>
void guarded(Command &&command)
{
    guarded(std::forward<Command>(command), showError);
}

} // namespace vog
