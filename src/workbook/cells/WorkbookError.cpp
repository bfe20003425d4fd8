#include "WorkbookError.h"

WorkbookError::WorkbookError(const QString &message)
    : std::runtime_error(message.toStdString())
    , m_message(message)
{ }
