#pragma once

#include <QString>

#include <stdexcept>

namespace tannbuch {

// The one error type of the workbook layer: a failing sheet operation, a bad
// address, a template that cannot be read or a file that cannot be written.
// The message is German and meant for the user.
class WorkbookError : public std::runtime_error
{
public:
    explicit WorkbookError(const QString &message);

    QString message() const { return m_message; }

private:
    QString m_message;
};

} // namespace tannbuch
