#include "HostTypes.h"

#include <QFile>
#include <QHash>
#include <QRegularExpression>

namespace tds {

namespace {

// The host's types where the demo schema's SQLite type says too little: the
// schema gives INTEGER, REAL, TEXT and DATETIME; the host declares these.
// Every other INTEGER column is an int, REAL a decimal(12,3), TEXT an
// nvarchar(255) and DATETIME a datetime.
const char *const Declared[][2] = {
    // keys of large tables
    {"ID_LOG", "bigint"},
    {"ID_LOGS", "bigint"},
    // small codes
    {"DSART", "smallint"},
    {"LISTENART", "smallint"},
    {"KLST", "smallint"},
    {"KKLASSE", "smallint"},
    {"RINDEPROZENT", "smallint"},
    {"NR", "smallint"},
    {"RELTABLE_ID", "smallint"},
    // flags
    {"DISABLE", "bit"},
    {"GEWICHT_LUTRO", "bit"},
    {"SPALT", "bit"},
    // conversion factors and free numbers
    {"UFAKT_RM", "float"},
    {"UFAKT_STK", "float"},
    {"UFAKT_ATO", "float"},
    {"UFAKT_LUT", "float"},
    {"NUMBER_VALUE", "float"},
    {"RINDE_WERT", "real"},
    {"RINDE", "real"},
    // prices
    {"MSZ_EURO", "money"},
    {"MSZ", "money"},
    {"NA", "money"},
    {"KA", "money"},
    {"R_PREIS", "money"},
    // volumes
    {"KUBATUR", "decimal(10,3)"},
    {"KUBRM", "decimal(10,3)"},
    {"KUBATRO", "decimal(10,3)"},
    {"KUBLUTO", "decimal(10,3)"},
    {"MENGEN", "decimal(10,3)"},
    {"ZUGANG", "decimal(10,3)"},
    {"ABGANG", "decimal(10,3)"},
    {"VOL", "decimal(10,3)"},
    {"VOL_A", "decimal(10,3)"},
    {"VOL_B", "decimal(10,3)"},
    {"VOL_C", "decimal(10,3)"},
    // lengths, heights and diameters
    {"LAENGE", "numeric(6,2)"},
    {"LANGE", "numeric(6,2)"},
    {"STAPELLANGE", "numeric(6,2)"},
    {"KORREKTUR", "numeric(6,2)"},
    {"HEIGHT", "numeric(6,2)"},
    {"DURCH", "numeric(6,1)"},
    // codes kept as single-byte text
    {"LISTE", "varchar(20)"},
    {"LOS", "varchar(20)"},
    {"POLTNR", "varchar(20)"},
    {"HA", "varchar(10)"},
    {"HS", "varchar(10)"},
    {"GKL", "varchar(10)"},
    {"STKL", "varchar(10)"},
    {"PLZ", "varchar(10)"},
    {"PROPERTY_ID", "varchar(50)"},
    {"FORM_ID", "varchar(50)"},
    // long texts
    {"LISTENKOPFZUSTXT", "nvarchar(max)"},
    {"LISTZUSTXT", "nvarchar(max)"},
    {"ZUSTXT", "nvarchar(max)"},
    {"TEXT_VALUE", "nvarchar(max)"},
    // dates
    {"EINGANGS_DATUM", "smalldatetime"},
    {"DATUM_VERLADE", "smalldatetime"},
    {"Z_DATUM_1", "date"},
    {"ABGANGSDATUM", "date"},
    // the type test table TYPEN: one column of each type
    {"T_INT", "int"},
    {"T_SMALLINT", "smallint"},
    {"T_BIGINT", "bigint"},
    {"T_BIT", "bit"},
    {"T_FLOAT", "float"},
    {"T_REAL", "real"},
    {"T_DECIMAL", "decimal(10,3)"},
    {"T_NUMERIC", "numeric(18,2)"},
    {"T_MONEY", "money"},
    {"T_NVARCHAR", "nvarchar(50)"},
    {"T_VARCHAR", "varchar(50)"},
    {"T_NVARCHARMAX", "nvarchar(max)"},
    {"T_DATETIME", "datetime"},
    {"T_SMALLDATETIME", "smalldatetime"},
    {"T_DATE", "date"},
};

QHash<QString, HostType> buildMap()
{
    QHash<QString, HostType> map;
    // Every column of the demo schema with the type its SQLite type stands for.
    QFile schema(QStringLiteral(TANNBUCH_SCHEMA_SQL));
    if (schema.open(QIODevice::ReadOnly)) {
        const QString text = QString::fromUtf8(schema.readAll());
        static const QRegularExpression column(
            QStringLiteral("(?:^|[(,])\\s*([A-Z_][A-Z0-9_]*)\\s+(INTEGER|REAL|TEXT|DATETIME)\\b"),
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
        if (parseHostType(QString::fromLatin1(entry[1]), &type))
            map.insert(QString::fromLatin1(entry[0]), type);
    }
    // Numbered columns: prices of further roles.
    for (int n = 1; n <= 8; ++n)
        map.insert(QStringLiteral("A%1_PREIS").arg(n), map.value(QStringLiteral("R_PREIS")));
    return map;
}

} // namespace

bool parseHostType(const QString &text, HostType *type)
{
    static const QRegularExpression form(
        QStringLiteral("^\\s*([a-z]+)\\s*(?:\\(\\s*(max|\\d+)\\s*(?:,\\s*(\\d+)\\s*)?\\))?\\s*$"),
        QRegularExpression::CaseInsensitiveOption);
    const auto m = form.match(text);
    if (!m.hasMatch())
        return false;
    const QString name = m.captured(1).toLower();
    const QString size = m.captured(2).toLower();
    static const QHash<QString, HostType::Kind> kinds = {
        {QStringLiteral("int"), HostType::Int},
        {QStringLiteral("smallint"), HostType::SmallInt},
        {QStringLiteral("bigint"), HostType::BigInt},
        {QStringLiteral("bit"), HostType::Bit},
        {QStringLiteral("float"), HostType::Float},
        {QStringLiteral("real"), HostType::Real},
        {QStringLiteral("decimal"), HostType::Decimal},
        {QStringLiteral("numeric"), HostType::Numeric},
        {QStringLiteral("money"), HostType::Money},
        {QStringLiteral("nvarchar"), HostType::NVarChar},
        {QStringLiteral("varchar"), HostType::VarChar},
        {QStringLiteral("datetime"), HostType::DateTime},
        {QStringLiteral("smalldatetime"), HostType::SmallDateTime},
        {QStringLiteral("date"), HostType::Date},
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
