#include "TextLookup.h"

#include "db/Connection.h"

namespace tannbuch {

QString TextStatement(qint32 id)
{
    return QStringLiteral("SELECT * FROM STRINGS WHERE ID_STRING = ") + QString::number(id);
}

QString GetString(Connection &db, qint32 id)
{
    Recordset rs = db.execute(TextStatement(id));
    QString text;
    if (!(rs.bof() && rs.eof())) {
        text = rs.text(QStringLiteral("CUSTOM_GERMAN")).trimmed();
        if (text.isEmpty())
            text = rs.text(QStringLiteral("GERMAN")).trimmed();
    }
    rs.close();
    return text;
}

qint32 RelTableCaptionId(const QString &column)
{
    static const qint32 ids[] = {716, 717, 718, 719, 720, 722, 725, 723, 721, 724};
    const QString upper = column.toUpper();
    for (int n = 1; n <= 10; ++n) {
        if (upper == QStringLiteral("RELTABLE") + QString::number(n))
            return ids[n - 1];
    }
    return 0;
}

QString GetRelTableCaption(Connection &db, const QString &column)
{
    const qint32 id = RelTableCaptionId(column);
    return id ? GetString(db, id) : QStringLiteral("HHJahr:");
}

} // namespace tannbuch
