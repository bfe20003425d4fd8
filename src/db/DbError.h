#pragma once

#include <QString>

#include <stdexcept>

namespace tannbuch {

// The one error type of the database layer. It carries the database's own
// message (driver or engine text) unchanged, so the user sees what the server
// said. Every failure of a statement, of opening or of reading a result ends up
// as a DbError; callers decide whether to catch it.
class DbError : public std::runtime_error
{
public:
    explicit DbError(const QString &message);

    QString message() const { return m_message; }

private:
    QString m_message;
};

} // namespace tannbuch
