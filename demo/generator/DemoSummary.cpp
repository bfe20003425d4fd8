#include "DemoSummary.h"

#include "GeneratorError.h"

#include <QDate>
#include <QFileInfo>
#include <QLocale>
#include <QStringList>

#include <sqlite3.h>

#include <vector>

namespace tannbuch {

namespace {

// The rows of a query, every value as text (NULL as an empty text).
std::vector<QStringList> query(sqlite3 *db, const QString &sql)
{
    sqlite3_stmt *statement = nullptr;
    if (sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &statement, nullptr) != SQLITE_OK)
        throw GeneratorError(QString::fromUtf8(sqlite3_errmsg(db)));
    std::vector<QStringList> rows;
    int rc = SQLITE_ROW;
    while ((rc = sqlite3_step(statement)) == SQLITE_ROW) {
        QStringList row;
        for (int i = 0; i < sqlite3_column_count(statement); ++i)
            row << QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(statement, i)));
        rows.push_back(row);
    }
    const QString message = QString::fromUtf8(sqlite3_errmsg(db));
    sqlite3_finalize(statement);
    if (rc != SQLITE_DONE)
        throw GeneratorError(message);
    return rows;
}

} // namespace

namespace DemoSummary {

QString text(const QString &path)
{
    if (!QFileInfo::exists(path))
        throw GeneratorError(QStringLiteral("Die Datenbank %1 gibt es nicht.").arg(path));
    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        const QString message = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString();
        sqlite3_close(db);
        throw GeneratorError(QStringLiteral("Die Datenbank %1 lässt sich nicht öffnen: %2").arg(path, message));
    }

    const QLocale german(QLocale::German, QLocale::Germany);
    QString out;
    try {
        out += QStringLiteral("Demodatenbank %1\n\n").arg(path);

        out += QStringLiteral("Listen:\n");
        out += QStringLiteral("  Liste   Datum       Listenart        Jahr       Sätze   Kubatur (Fm)\n");
        const auto lists = query(db,
            QStringLiteral("SELECT L.LISTE, MIN(L.LISTDATUM), MAX(A.TEXT), MAX(R.KURZNAME), COUNT(*), SUM(L.KUBATUR) "
                           "FROM LOGS L LEFT JOIN LISTENART A ON A.LISTENART = L.LISTENART "
                           "LEFT JOIN RELTABLE R ON R.ID = L.RELTABLE1 GROUP BY L.LISTE ORDER BY L.LISTE"));
        for (const QStringList &row : lists) {
            const QDate date = QDate::fromString(row[1].left(10), QStringLiteral("yyyy-MM-dd"));
            out += QStringLiteral("  %1 %2  %3 %4 %5 %6\n")
                       .arg(row[0], -7)
                       .arg(date.toString(QStringLiteral("dd.MM.yyyy")), -10)
                       .arg(row[2], -16)
                       .arg(row[3], -8)
                       .arg(german.toString(row[4].toLongLong()), 8)
                       .arg(german.toString(row[5].toDouble(), 'f', 3), 14);
        }

        out += QStringLiteral("\nSätze je Datensatzart:\n");
        const auto types = query(db,
            QStringLiteral("SELECT L.DSART, MAX(D.NAME), COUNT(*), SUM(L.KUBATUR) FROM LOGS L "
                           "LEFT JOIN DSART D ON D.ID = L.DSART GROUP BY L.DSART ORDER BY L.DSART"));
        for (const QStringList &row : types)
            out += QStringLiteral("  %1 %2 %3 Sätze %4 Fm\n")
                       .arg(row[0], 2)
                       .arg(row[1], -18)
                       .arg(german.toString(row[2].toLongLong()), 8)
                       .arg(german.toString(row[3].toDouble(), 'f', 3), 12);

        out += QStringLiteral("\nBereitstellungen:\n");
        const auto provisions = query(db,
            QStringLiteral(
                "SELECT K.BEREITSTELLUNGSNAME, COUNT(B.ID) FROM BEREITSTELLUNG_KOPF K "
                "LEFT JOIN BEREITSTELLUNG_LOGS B ON B.ID_BEREITSTELLUNG_KOPF = K.ID GROUP BY K.ID ORDER BY K.ID"));
        for (const QStringList &row : provisions)
            out += QStringLiteral("  %1 %2 Sätze\n").arg(row[0], -14).arg(german.toString(row[1].toLongLong()), 8);

        // The newest business year that is open and a plain number, as the
        // list browser chooses it.
        const auto years = query(db,
            QStringLiteral("SELECT KURZNAME FROM RELTABLE WHERE RELTABLE_ID = 1 AND IFNULL(DISABLE, 0) = 0 "
                           "AND KURZNAME <> '' AND KURZNAME NOT GLOB '*[^0-9]*' ORDER BY KURZNAME DESC LIMIT 1"));
        out += QStringLiteral("\nNeuestes Wirtschaftsjahr: %1\n")
                   .arg(years.empty() ? QStringLiteral("keines") : years.front().value(0));
    } catch (...) {
        // Only to close the file; the error goes on to the caller.
        sqlite3_close(db);
        throw;
    }
    sqlite3_close(db);
    return out;
}

} // namespace DemoSummary

} // namespace tannbuch
