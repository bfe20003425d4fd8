#pragma once

#include <QString>

#include <stdexcept>

namespace tannbuch {

// The one error of the demo generator: a message a person can read, such as
// SQLite's message with the statement that failed, or a file that cannot be
// read or written.
class GeneratorError : public std::runtime_error
{
public:
    explicit GeneratorError(const QString &message)
        : std::runtime_error(message.toStdString())
    { }

    QString message() const { return QString::fromStdString(what()); }
};

} // namespace tannbuch
