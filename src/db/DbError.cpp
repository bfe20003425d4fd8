#include "DbError.h"

namespace tannbuch {

DbError::DbError(const QString &message)
    : std::runtime_error(message.toStdString())
    , m_message(message)
{ }

} // namespace tannbuch
