#include "SqlQuote.h"

QString sqlQuoteInner(const QString &value)
{
    QString out = value;
    out.replace(QLatin1Char('\''), QStringLiteral("''"));
    return out;
}
