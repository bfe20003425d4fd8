#include "AccessLevel.h"

#include "db/Connection.h"
#include "db/SqlQuote.h"

namespace tannbuch {

QString AccessLevelFilter(const QString &accessLevelId, const QString &code)
{
    QString result;
    for (int i = 1; 2 * i <= code.size(); ++i) {
        const QString tail = code.right(2 * i);
        bool zeros = true;
        for (QChar c : tail)
            zeros = zeros && c == QLatin1Char('0');
        if (zeros) {
            const int k = int(code.size()) - 2 * i;
            // The prefix comes from the database; quoting keeps the statement whole.
            result = QStringLiteral("(SELECT ID FROM ACCESS_LEVELS WHERE LEFT(ACCESS_LEVELS,") + QString::number(k)
                + QStringLiteral(") = ") + sqlTextLiteral(code.left(k)) + QLatin1Char(')');
        }
    }
    if (result.isEmpty())
        result = QStringLiteral("(") + accessLevelId + QStringLiteral(")");
    return result;
}

QString GetAccessLevel(Connection &db, const QString &accessLevelId)
{
    if (accessLevelId == QStringLiteral("0") || accessLevelId.isEmpty())
        return QString();
    Recordset rs = db.execute(QStringLiteral("SELECT ACCESS_LEVELS FROM ACCESS_LEVELS WHERE ID = ") + accessLevelId);
    const QString code = rs.eof() ? QString() : rs.text(QStringLiteral("ACCESS_LEVELS"));
    rs.close();
    return AccessLevelFilter(accessLevelId, code);
}

} // namespace tannbuch
