#include "SqlQuote.h"

#include "text/Windows1252.h"

namespace tannbuch {

QString sqlQuoteInner(const QString &value)
{
    QString out = value;
    out.replace(QLatin1Char('\''), QStringLiteral("''"));
    return out;
}

QString sqlTextLiteral(const QString &value)
{
    const QString quoted = QLatin1Char('\'') + sqlQuoteInner(value) + QLatin1Char('\'');
    return Windows1252::holds(value) ? quoted : QLatin1Char('N') + quoted;
}

} // namespace tannbuch
