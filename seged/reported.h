#pragma once

#include <functional>

// Runs what a Qt slot or event handler does. An exception must never cross
// Qt's event handling, so whatever the command raises ends here, in the
// standard error report (caption "Vikora", error icon, OK).
void RunReported(const std::function<void()>& command) noexcept;
