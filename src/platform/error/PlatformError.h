#pragma once

#include <QString>
#include <stdexcept>

namespace sonmetra {

// A failure of a platform service (port, database, report). It carries the text the operator
// reads in the default error handler's message box.
class PlatformError : public std::runtime_error
{
public:
    explicit PlatformError(const QString& message)
        : std::runtime_error(message.toStdString()), m_message(message)
    {
    }

    const QString& message() const noexcept { return m_message; }

private:
    QString m_message;
};

} // namespace sonmetra
