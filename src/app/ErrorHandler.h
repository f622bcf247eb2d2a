#pragma once

#include "error/PlatformError.h"

#include <QString>

#include <exception>
#include <utility>

namespace sonmetra {

inline constexpr char ApplicationTitle[] = "Sonmetra_EN";

// The text of the default error handler's box: the failure's own text, with a full stop added
// when its last character sorts after ".".
QString defaultErrorText(const QString& failure);

// Shows a failure that no handler caught: titled with the application title, stop icon, OK.
void showDefaultError(const QString& failure);

// Runs one event handler. A platform failure ends the handler at the failing step and is shown by
// the default error handler; nothing is rolled back and the program goes on. Every entry point the
// event loop calls goes through here, so no exception ever unwinds through Qt's frames.
template <class Handler> void runGuarded(Handler&& handler) noexcept
{
    try {
        std::forward<Handler>(handler)();
    } catch (const PlatformError& e) {
        showDefaultError(e.message());
    } catch (const std::exception& e) {
        showDefaultError(QString::fromUtf8(e.what()));
    }
}

// A slot without arguments that runs `handler` guarded, for QObject::connect.
template <class Handler> auto guarded(Handler handler)
{
    return [handler = std::move(handler)]() { runGuarded(handler); };
}

} // namespace sonmetra
