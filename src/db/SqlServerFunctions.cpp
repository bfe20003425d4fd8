#include "SqlServerFunctions.h"

#include "db/DbError.h"
#include "db/SqlServerSemantics.h"

#include <QString>
#include <QtNumeric>

#include <sqlite3.h>

#include <cmath>

namespace tannbuch {

using sqlserver::DateConversion;
using sqlserver::DateKind;

namespace {

// The value as text; the database holds UTF-8, read as it is.
QString valueString(sqlite3_value *v)
{
    const char *p = reinterpret_cast<const char *>(sqlite3_value_text(v));
    if (!p)
        return QString();
    return QString::fromUtf8(p, sqlite3_value_bytes(v));
}

// A value as text the way SQL Server converts it: whole numbers in decimal,
// floats with six significant digits, texts as they are.
QString valueText(sqlite3_value *v)
{
    switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER:
        return QString::number(sqlite3_value_int64(v));
    case SQLITE_FLOAT:
        return sqlserver::floatToText(sqlite3_value_double(v));
    default:
        return valueString(v);
    }
}

void resultText(sqlite3_context *ctx, const QString &s)
{
    const QByteArray utf8 = s.toUtf8();
    sqlite3_result_text(ctx, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
}

void resultError(sqlite3_context *ctx, const QString &message)
{
    const QByteArray utf8 = message.toUtf8();
    sqlite3_result_error(ctx, utf8.constData(), int(utf8.size()));
}

bool anyNull(int argc, sqlite3_value **argv)
{
    for (int i = 0; i < argc; ++i) {
        if (sqlite3_value_type(argv[i]) == SQLITE_NULL)
            return true;
    }
    return false;
}

QString kindName(DateKind kind)
{
    switch (kind) {
    case DateKind::SmallDateTime:
        return QStringLiteral("smalldatetime");
    case DateKind::DateTime:
        return QStringLiteral("datetime");
    case DateKind::Date:
        return QStringLiteral("date");
    }
    return QString();
}

void reportDateFailure(sqlite3_context *ctx, DateConversion::Status status, DateKind kind)
{
    if (status == DateConversion::OutOfRange)
        resultError(ctx,
            QStringLiteral("Die Konvertierung in den Datentyp %1 ergab einen Wert außerhalb des gültigen Bereichs.")
                .arg(kindName(kind)));
    else
        resultError(
            ctx, QStringLiteral("Fehler beim Konvertieren einer Zeichenfolge in einen Datums- und/oder Uhrzeitwert."));
}

// LEFT(s, n) and RIGHT(s, n): NULL in, NULL out; a negative length is an error.
void leftOrRight(sqlite3_context *ctx, int argc, sqlite3_value **argv, bool left)
{
    if (anyNull(argc, argv)) {
        sqlite3_result_null(ctx);
        return;
    }
    const qint64 n = sqlite3_value_int64(argv[1]);
    if (n < 0) {
        resultError(ctx,
            QStringLiteral("An die %1-Funktion wurde ein ungültiger Längenparameter übergeben.")
                .arg(left ? QStringLiteral("LEFT") : QStringLiteral("RIGHT")));
        return;
    }
    const QString s = valueText(argv[0]);
    resultText(ctx, left ? s.left(qsizetype(n)) : s.right(qsizetype(n)));
}

void tbLeft(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    leftOrRight(ctx, argc, argv, true);
}

void tbRight(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    leftOrRight(ctx, argc, argv, false);
}

void tbIsNumeric(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    int result = 0;
    switch (sqlite3_value_type(argv[0])) {
    case SQLITE_INTEGER:
    case SQLITE_FLOAT:
        result = 1;
        break;
    case SQLITE_TEXT:
        result = sqlserver::isNumeric(valueString(argv[0])) ? 1 : 0;
        break;
    default:
        break;
    }
    sqlite3_result_int(ctx, result);
}

// tb_text(x, length, pad, style): conversion to (n)varchar(length) or, with
// pad, (n)char(length); length -1 is max. A stored date becomes text in the
// style; numbers as SQL Server writes them; longer texts are cut.
void tbText(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const qint64 length = sqlite3_value_int64(argv[1]);
    const bool pad = sqlite3_value_int(argv[2]) != 0;
    const int style = sqlite3_value_int(argv[3]);

    QString s = valueText(argv[0]);
    if (sqlite3_value_type(argv[0]) == SQLITE_TEXT) {
        if (const auto date = sqlserver::parseStoredDate(s)) {
            const auto text = sqlserver::dateToText(date->value, date->dateOnly, style);
            if (!text) {
                resultError(ctx,
                    QStringLiteral("%1 ist kein gültiger Stil für die Konvertierung eines Datums in Text.").arg(style));
                return;
            }
            s = *text;
        }
    }
    if (length >= 0) {
        if (s.size() > length)
            s.truncate(qsizetype(length));
        else if (pad)
            s = s.leftJustified(qsizetype(length), u' ');
    }
    resultText(ctx, s);
}

// tb_datetime(x, style, kind): conversion of a text (or a number of days
// since 1900-01-01) to a date of the kind, as stored ISO text.
void tbDateTime(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    const int style = sqlite3_value_int(argv[1]);
    DateKind kind = DateKind::SmallDateTime;
    switch (sqlite3_value_int(argv[2])) {
    case SqlServerFunctions::DateTimeCode:
        kind = DateKind::DateTime;
        break;
    case SqlServerFunctions::DateCode:
        kind = DateKind::Date;
        break;
    default:
        break;
    }
    DateConversion r;
    switch (sqlite3_value_type(argv[0])) {
    case SQLITE_NULL:
        sqlite3_result_null(ctx);
        return;
    case SQLITE_INTEGER:
    case SQLITE_FLOAT:
        r = sqlserver::numberToDate(sqlite3_value_double(argv[0]), kind);
        break;
    case SQLITE_TEXT:
        r = sqlserver::textToDate(valueString(argv[0]), style, kind);
        break;
    default:
        r.status = DateConversion::Invalid;
        break;
    }
    if (r.status != DateConversion::Ok) {
        reportDateFailure(ctx, r.status, kind);
        return;
    }
    resultText(ctx, sqlserver::storedDateText(r.value, kind));
}

// a + b: two texts are joined; otherwise numbers are added, a text operand
// being converted to the other operand's number type first (as SQL Server
// converts to the type of higher precedence). NULL in, NULL out.
void tbPlus(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    if (anyNull(argc, argv)) {
        sqlite3_result_null(ctx);
        return;
    }
    const int ta = sqlite3_value_type(argv[0]);
    const int tb = sqlite3_value_type(argv[1]);
    const bool textA = ta == SQLITE_TEXT || ta == SQLITE_BLOB;
    const bool textB = tb == SQLITE_TEXT || tb == SQLITE_BLOB;
    if (textA && textB) {
        resultText(ctx, valueString(argv[0]) + valueString(argv[1]));
        return;
    }

    // Numbers of both operands; a text takes the type of the other operand.
    bool integral = true;
    qint64 ints[2] = {0, 0};
    double reals[2] = {0, 0};
    for (int k = 0; k < 2; ++k) {
        sqlite3_value *v = argv[k];
        sqlite3_value *other = argv[1 - k];
        const int t = sqlite3_value_type(v);
        if (t == SQLITE_INTEGER) {
            ints[k] = sqlite3_value_int64(v);
            reals[k] = double(ints[k]);
        } else if (t == SQLITE_FLOAT) {
            integral = false;
            reals[k] = sqlite3_value_double(v);
        } else {
            const QString text = valueString(v);
            bool ok = false;
            if (sqlite3_value_type(other) == SQLITE_INTEGER) {
                ints[k] = text.trimmed().toLongLong(&ok);
                reals[k] = double(ints[k]);
                if (!ok) {
                    resultError(ctx,
                        QStringLiteral("Fehler beim Konvertieren des varchar-Werts '%1' in den Datentyp int.")
                            .arg(text));
                    return;
                }
            } else {
                integral = false;
                reals[k] = text.trimmed().toDouble(&ok);
                if (!ok) {
                    resultError(ctx,
                        QStringLiteral("Fehler beim Konvertieren des varchar-Werts '%1' in den Datentyp float.")
                            .arg(text));
                    return;
                }
            }
        }
    }
    if (integral) {
        qint64 sum = 0;
        if (qAddOverflow(ints[0], ints[1], &sum)) {
            resultError(ctx, QStringLiteral("Arithmetischer Überlauffehler bei einer Addition."));
            return;
        }
        sqlite3_result_int64(ctx, sum);
        return;
    }
    sqlite3_result_double(ctx, reals[0] + reals[1]);
}

void tbSqrt(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const double x = sqlite3_value_double(argv[0]);
    if (x < 0) {
        resultError(ctx, QStringLiteral("Ungültige Gleitkommaoperation (Quadratwurzel einer negativen Zahl)."));
        return;
    }
    sqlite3_result_double(ctx, std::sqrt(x));
}

// ROUND(x, n[, f]): halves away from zero; a non-zero f cuts instead.
// Whole numbers stay whole numbers.
void tbRound(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    if (anyNull(argc, argv)) {
        sqlite3_result_null(ctx);
        return;
    }
    const int digits = sqlite3_value_int(argv[1]);
    const bool truncate = argc > 2 && sqlite3_value_int(argv[2]) != 0;
    sqlite3_value *x = argv[0];
    int type = sqlite3_value_type(x);
    if (type == SQLITE_TEXT)
        type = sqlite3_value_numeric_type(x);
    if (type == SQLITE_INTEGER) {
        const qint64 v = sqlite3_value_int64(x);
        if (truncate && digits < 0) {
            if (digits < -18) {
                sqlite3_result_int64(ctx, 0);
                return;
            }
            qint64 unit = 1;
            for (int k = 0; k < -digits; ++k)
                unit *= 10;
            sqlite3_result_int64(ctx, v / unit * unit);
            return;
        }
        const auto r = sqlserver::roundHalfAwayFromZero(v, digits);
        if (!r) {
            resultError(ctx, QStringLiteral("Arithmetischer Überlauffehler beim Runden."));
            return;
        }
        sqlite3_result_int64(ctx, *r);
        return;
    }
    if (type != SQLITE_FLOAT) {
        resultError(ctx, QStringLiteral("Fehler beim Konvertieren des Werts '%1' in eine Zahl.").arg(valueString(x)));
        return;
    }
    const double v = sqlite3_value_double(x);
    if (truncate) {
        const double scale = std::pow(10.0, digits);
        sqlite3_result_double(ctx, std::trunc(v * scale) / scale);
        return;
    }
    sqlite3_result_double(ctx, sqlserver::roundHalfAwayFromZero(v, digits));
}

// like(pattern, value[, escape]) behind the LIKE operator.
void tbLike(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    if (anyNull(argc, argv)) {
        sqlite3_result_null(ctx);
        return;
    }
    QChar escape;
    if (argc > 2) {
        const QString e = valueString(argv[2]);
        if (e.size() != 1) {
            resultError(ctx, QStringLiteral("Das ESCAPE-Zeichen muss genau ein Zeichen lang sein."));
            return;
        }
        escape = e.front();
    }
    const QString pattern = valueText(argv[0]);
    const QString value = valueText(argv[1]);
    sqlite3_result_int(ctx, sqlserver::like(value, pattern, escape) ? 1 : 0);
}

int compareNoCase(void *, int lengthA, const void *a, int lengthB, const void *b)
{
    return sqlserver::compareTextUtf8(static_cast<const char *>(a), lengthA, static_cast<const char *>(b), lengthB);
}

void check(sqlite3 *db, int rc, const char *what)
{
    if (rc != SQLITE_OK)
        throw DbError(QStringLiteral("Die Datenbankfunktion %1 lässt sich nicht anmelden: %2")
                          .arg(QString::fromUtf8(what), QString::fromUtf8(sqlite3_errmsg(db))));
}

using ScalarFunction = void (*)(sqlite3_context *, int, sqlite3_value **);

void addFunction(sqlite3 *db, const char *name, int argc, ScalarFunction f)
{
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS;
    check(db, sqlite3_create_function_v2(db, name, argc, flags, nullptr, f, nullptr, nullptr, nullptr), name);
}

} // namespace

void SqlServerFunctions::install(sqlite3 *db)
{
    check(db, sqlite3_create_collation_v2(db, "NOCASE", SQLITE_UTF8, nullptr, compareNoCase, nullptr), "NOCASE");
    addFunction(db, "tb_left", 2, tbLeft);
    addFunction(db, "tb_right", 2, tbRight);
    addFunction(db, "tb_isnumeric", 1, tbIsNumeric);
    addFunction(db, "tb_text", 4, tbText);
    addFunction(db, "tb_datetime", 3, tbDateTime);
    addFunction(db, "tb_plus", 2, tbPlus);
    addFunction(db, "sqrt", 1, tbSqrt);
    addFunction(db, "round", 2, tbRound);
    addFunction(db, "round", 3, tbRound);
    addFunction(db, "like", 2, tbLike);
    addFunction(db, "like", 3, tbLike);
}

} // namespace tannbuch
