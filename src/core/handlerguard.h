#pragma once
// Event handlers run from Qt's signals, timers and socket notifiers. An error
// must not unwind through Qt's own frames: Qt is not built for exceptions, so
// it leaks what those frames hold and can leave a widget half way through an
// event. Each handler that can raise runs its body through runGuarded(), which
// hands the error's text to the application's one error report.
#include <functional>
#include <string>

namespace zibbles {

using ErrorReport = std::function<void(const std::string &text)>;

// The application's error report; without one, errors go to stderr.
void setErrorReport(ErrorReport report);

// Runs `body`; an exception it raises is reported, not passed on.
void runGuarded(const std::function<void()> &body);

// Only inside a catch block: reports the error being handled.
void reportCurrentError();

} // namespace zibbles
