#include "Recordset.h"

#include "db/DbError.h"

#include <QDate>
#include <QDateTime>

Recordset::Recordset(ResultData data)
    : m_data(std::move(data))
{ }

bool Recordset::eof() const
{
    return m_pos >= int(m_data.rows.size());
}

bool Recordset::bof() const
{
    return m_pos < 0 || m_data.rows.empty();
}

void Recordset::moveNext()
{
    if (eof())
        throw DbError(QStringLiteral("Der Datensatz ist am Ende, es gibt keinen nächsten."));
    ++m_pos;
}

void Recordset::movePrevious()
{
    if (m_pos < 0)
        throw DbError(QStringLiteral("Der Datensatz ist am Anfang, es gibt keinen vorherigen."));
    --m_pos;
}

void Recordset::moveFirst()
{
    m_pos = 0;
}

int Recordset::indexOf(const QString &name) const
{
    for (int i = 0; i < m_data.columns.size(); ++i) {
        if (m_data.columns.at(i).compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

QString Recordset::fieldName(int index) const
{
    if (index < 0 || index >= m_data.columns.size())
        throw DbError(QStringLiteral("Feldindex %1 ist außerhalb des Bereichs.").arg(index));
    return m_data.columns.at(index);
}

const std::vector<QVariant> &Recordset::currentRow() const
{
    if (m_pos < 0 || eof())
        throw DbError(QStringLiteral("Kein aktueller Datensatz: Anfang oder Ende der Daten ist erreicht."));
    return m_data.rows[size_t(m_pos)];
}

QVariant Recordset::value(int index) const
{
    const auto &row = currentRow();
    if (index < 0 || index >= int(row.size()))
        throw DbError(QStringLiteral("Feldindex %1 ist außerhalb des Bereichs.").arg(index));
    return row[size_t(index)];
}

QVariant Recordset::field(const QString &name) const
{
    const int i = indexOf(name);
    if (i < 0)
        throw DbError(QStringLiteral("Das Feld \"%1\" ist im Ergebnis nicht vorhanden.").arg(name));
    return value(i);
}

bool Recordset::isNull(const QString &name) const
{
    return isDbNull(field(name));
}

QString Recordset::text(const QString &name) const
{
    const QVariant v = field(name);
    if (isDbNull(v))
        return QString();
    if (v.typeId() == QMetaType::QDateTime)
        return v.toDateTime().toString(Qt::ISODate);
    if (v.typeId() == QMetaType::QDate)
        return v.toDate().toString(Qt::ISODate);
    return v.toString();
}

void Recordset::close()
{
    m_data = ResultData();
    m_pos = 0;
}
