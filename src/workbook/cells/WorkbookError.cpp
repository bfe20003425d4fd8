#include "WorkbookError.h"

namespace tannbuch {

WorkbookError::WorkbookError(const QString &message)
    : std::runtime_error(message.toStdString())
    , m_message(message)
{ }

} // namespace tannbuch
