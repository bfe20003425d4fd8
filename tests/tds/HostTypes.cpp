#include "HostTypes.h"

#include <QFile>
#include <QHash>
#include <QRegularExpression>

namespace tannbuch {

using namespace Qt::StringLiterals;

namespace tds {

namespace {

// The host's types where the demo schema's SQLite type says too little: the
// schema gives INTEGER, REAL, TEXT and DATETIME; the host declares these.
// Every other INTEGER column is an int, REAL a decimal(12,3), TEXT an
// nvarchar(255) and DATETIME a datetime. The T_ columns are the type test
// table TYPEN: one column of each type.
const char *const Declared[][2] = {
    {"bigint", "ID_LOG ID_LOGS T_BIGINT"}, // keys of large tables
    {"smallint", "DSART LISTENART KLST KKLASSE RINDEPROZENT NR RELTABLE_ID T_SMALLINT"}, // small codes
    {"bit", "DISABLE GEWICHT_LUTRO SPALT T_BIT"},
    {"float", "UFAKT_RM UFAKT_STK UFAKT_ATO UFAKT_LUT NUMBER_VALUE T_FLOAT"}, // factors, free numbers
    {"real", "RINDE_WERT RINDE T_REAL"},
    {"money", "MSZ_EURO MSZ NA KA R_PREIS T_MONEY"}, // prices
    {"decimal(10,3)", "KUBATUR KUBRM KUBATRO KUBLUTO MENGEN ZUGANG ABGANG VOL VOL_A VOL_B VOL_C T_DECIMAL"}, // volumes
    {"numeric(6,2)", "LAENGE LANGE STAPELLANGE KORREKTUR HEIGHT"}, // lengths and heights
    {"numeric(6,1)", "DURCH"}, // diameters
    {"numeric(18,2)", "T_NUMERIC"},
    {"varchar(20)", "LISTE LOS POLTNR"}, // codes kept as single-byte text
    {"varchar(10)", "HA HS GKL STKL PLZ"},
    {"varchar(50)", "PROPERTY_ID FORM_ID T_VARCHAR"},
    {"nvarchar(50)", "T_NVARCHAR"},
    {"nvarchar(max)", "LISTENKOPFZUSTXT LISTZUSTXT ZUSTXT TEXT_VALUE T_NVARCHARMAX"}, // long texts
    {"int", "T_INT"},
    {"datetime", "T_DATETIME"},
    {"smalldatetime", "EINGANGS_DATUM DATUM_VERLADE T_SMALLDATETIME"},
    {"date", "Z_DATUM_1 ABGANGSDATUM T_DATE"},
};

// Reads a declaration such as "decimal(10,3)", "nvarchar(max)" or "bit";
// returns false for an unknown one.
bool parseHostType(const QString &text, HostType *type)
{
    static const QRegularExpression form(u"^\\s*([a-z]+)\\s*(?:\\(\\s*(max|\\d+)\\s*(?:,\\s*(\\d+)\\s*)?\\))?\\s*$"_s,
        QRegularExpression::CaseInsensitiveOption);
    const auto m = form.match(text);
    if (!m.hasMatch())
        return false;
    const QString name = m.captured(1).toLower();
    const QString size = m.captured(2).toLower();
    static const QHash<QString, HostType::Kind> kinds = {
        {u"int"_s, HostType::Int},
        {u"smallint"_s, HostType::SmallInt},
        {u"bigint"_s, HostType::BigInt},
        {u"bit"_s, HostType::Bit},
        {u"float"_s, HostType::Float},
        {u"real"_s, HostType::Real},
        {u"decimal"_s, HostType::Decimal},
        {u"numeric"_s, HostType::Numeric},
        {u"money"_s, HostType::Money},
        {u"nvarchar"_s, HostType::NVarChar},
        {u"varchar"_s, HostType::VarChar},
        {u"datetime"_s, HostType::DateTime},
        {u"smalldatetime"_s, HostType::SmallDateTime},
        {u"date"_s, HostType::Date},
    };
    const auto kind = kinds.constFind(name);
    if (kind == kinds.constEnd())
        return false;
    HostType t;
    t.kind = *kind;
    if (t.kind == HostType::Decimal || t.kind == HostType::Numeric) {
        t.precision = size.isEmpty() ? 18 : size.toInt();
        t.scale = m.captured(3).toInt();
        if (t.precision < 1 || t.precision > 38 || t.scale > t.precision)
            return false;
    } else if (t.isText()) {
        t.length = size == QLatin1String("max") ? 0 : size.isEmpty() ? 1 : size.toInt();
        if (t.length < 0 || t.length > (t.kind == HostType::NVarChar ? 4000 : 8000))
            return false;
    } else if (!size.isEmpty()) {
        return false;
    }
    *type = t;
    return true;
}

QHash<QString, HostType> buildMap()
{
    QHash<QString, HostType> map;
    // Every column of the demo schema with the type its SQLite type stands for.
    QFile schema(QStringLiteral(TANNBUCH_SCHEMA_SQL));
    if (schema.open(QIODevice::ReadOnly)) {
        const QString text = QString::fromUtf8(schema.readAll());
        static const QRegularExpression column(u"(?:^|[(,])\\s*([A-Z_][A-Z0-9_]*)\\s+(INTEGER|REAL|TEXT|DATETIME)\\b"_s,
            QRegularExpression::MultilineOption);
        for (auto it = column.globalMatch(text); it.hasNext();) {
            const auto m = it.next();
            const QString sqliteType = m.captured(2);
            HostType type;
            if (sqliteType == QLatin1String("INTEGER"))
                type.kind = HostType::Int;
            else if (sqliteType == QLatin1String("REAL"))
                type = {HostType::Decimal, 12, 3, 0};
            else if (sqliteType == QLatin1String("DATETIME"))
                type.kind = HostType::DateTime;
            else
                type = {HostType::NVarChar, 0, 0, 255};
            map.insert(m.captured(1), type);
        }
    }
    for (const auto &entry : Declared) {
        HostType type;
        if (!parseHostType(QString::fromLatin1(entry[0]), &type))
            continue;
        for (const QString &name : QString::fromLatin1(entry[1]).split(u' '))
            map.insert(name, type);
    }
    // Numbered columns: prices of further roles.
    for (int n = 1; n <= 8; ++n)
        map.insert(u"A%1_PREIS"_s.arg(n), map.value(u"R_PREIS"_s));
    return map;
}

} // namespace

bool hostColumnType(const QString &columnName, HostType *type)
{
    static const QHash<QString, HostType> map = buildMap();
    const auto it = map.constFind(columnName.toUpper());
    if (it == map.constEnd())
        return false;
    *type = *it;
    return true;
}

} // namespace tds

} // namespace tannbuch
