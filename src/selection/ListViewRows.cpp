#include "ListViewRows.h"

#include "db/Connection.h"
#include "text/NumberFormatter.h"
#include "text/ReportLocale.h"

#include <QDate>
#include <QDateTime>

namespace tannbuch {

namespace {

bool isNumber(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
        return true;
    default:
        return false;
    }
}

} // namespace

QList<ListViewColumn> ListViewColumns(const QString &listHeader)
{
    return {
        {listHeader, 1600, Qt::AlignLeft | Qt::AlignVCenter},
        {QStringLiteral("Datum"), 1000, Qt::AlignLeft | Qt::AlignVCenter},
        {QStringLiteral("Stück"), 700, Qt::AlignRight | Qt::AlignVCenter},
        {QStringLiteral("Kubatur"), 1000, Qt::AlignRight | Qt::AlignVCenter},
    };
}

int TwipsToPixels(int twips)
{
    return qRound(twips / 15.0);
}

QString ListDateText(const QVariant &value)
{
    if (isDbNull(value))
        return QString();
    if (value.typeId() == QMetaType::QDateTime)
        return ReportLocale::shortDate(value.toDateTime().date());
    if (value.typeId() == QMetaType::QDate)
        return ReportLocale::shortDate(value.toDate());
    // A date kept as text: its ISO form is read, anything else shown as it is.
    const QString text = value.toString();
    const QDateTime stamp = QDateTime::fromString(text.left(19), Qt::ISODate);
    if (stamp.isValid())
        return ReportLocale::shortDate(stamp.date());
    const QDate day = QDate::fromString(text.left(10), Qt::ISODate);
    return day.isValid() ? ReportLocale::shortDate(day) : text;
}

QString PlainNumberText(const QVariant &value)
{
    if (isDbNull(value))
        return QString();
    if (isNumber(value))
        return ReportLocale::generalNumber(value.toDouble());
    return value.toString();
}

QString VolumeText(const QVariant &value, const QString &volumeFormat)
{
    if (isDbNull(value))
        return QString();
    bool ok = isNumber(value);
    double number = value.toDouble();
    if (!ok)
        number = ReportLocale::locale().toDouble(value.toString(), &ok);
    if (!ok)
        return value.toString();
    return NumberFormatter(ReportLocale::locale()).format(number, volumeFormat);
}

QList<ListViewRow> ReadListViewRows(Connection &db, const QString &statement, const QString &volumeFormat)
{
    Recordset rs = db.execute(statement);
    QList<ListViewRow> rows;
    for (; !rs.eof(); rs.moveNext()) {
        ListViewRow row;
        row.liste = rs.text(QStringLiteral("liste"));
        row.listdatum = ListDateText(rs.field(QStringLiteral("listdatum")));
        row.stk = PlainNumberText(rs.field(QStringLiteral("stk")));
        row.kubatur = VolumeText(rs.field(QStringLiteral("Kubatur")), volumeFormat);
        rows << row;
    }
    rs.close();
    return rows;
}

} // namespace tannbuch
