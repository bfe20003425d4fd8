#include "Recordset.h"

#include "db/DbError.h"

#include <QDate>
#include <QDateTime>

#include <cstring>

namespace tannbuch {

namespace {

// Texts up to this length are stored once per result however often they come
// (names, units, grades), up to this many different ones; longer or rarer
// texts are stored as they come.
constexpr qsizetype SharedTextLength = 64;
constexpr qsizetype SharedTextCount = 8192;

quint64 bitsOf(double number)
{
    quint64 bits = 0;
    std::memcpy(&bits, &number, sizeof bits);
    return bits;
}

double numberOf(quint64 bits)
{
    double number = 0;
    std::memcpy(&number, &bits, sizeof number);
    return number;
}

} // namespace

// Each row is packed and released as it goes, so the result is never held
// twice over.
Recordset::Recordset(ResultData data)
    : m_columns(std::move(data.columns))
    , m_rowCount(int(data.rows.size()))
{
    const size_t values = data.rows.size() * size_t(m_columns.size());
    m_kinds.reserve(values);
    m_payloads.reserve(values);
    QHash<QString, quint64> sharedTexts;
    for (std::vector<QVariant> &row : data.rows)
        pack(row, sharedTexts);
    m_texts.shrink_to_fit();
    m_others.shrink_to_fit();
}

// A row of the result, as many values as there are columns: a row the
// database gave short reads as NULL in its missing columns.
void Recordset::pack(std::vector<QVariant> &row, QHash<QString, quint64> &sharedTexts)
{
    row.resize(size_t(m_columns.size()));
    for (QVariant &v : row) {
        if (!v.isValid()) {
            m_kinds.push_back(Kind::Null);
            m_payloads.push_back(0);
        } else if (v.typeId() == QMetaType::LongLong) {
            m_kinds.push_back(Kind::LongLong);
            m_payloads.push_back(quint64(v.toLongLong()));
        } else if (v.typeId() == QMetaType::Double) {
            m_kinds.push_back(Kind::Double);
            m_payloads.push_back(bitsOf(v.toDouble()));
        } else if (v.typeId() == QMetaType::QString) {
            m_kinds.push_back(Kind::Text);
            m_payloads.push_back(textIndex(v.toString(), sharedTexts));
        } else {
            m_kinds.push_back(Kind::Other);
            m_payloads.push_back(m_others.size());
            m_others.push_back(std::move(v));
        }
    }
    std::vector<QVariant>().swap(row);
}

quint64 Recordset::textIndex(const QString &text, QHash<QString, quint64> &sharedTexts)
{
    const bool shareable = !text.isEmpty() && text.size() <= SharedTextLength;
    if (shareable) {
        const auto it = sharedTexts.constFind(text);
        if (it != sharedTexts.constEnd())
            return it.value();
    }
    const quint64 index = m_texts.size();
    m_texts.push_back(text);
    if (shareable && sharedTexts.size() < SharedTextCount)
        sharedTexts.insert(text, index);
    return index;
}

QVariant Recordset::unpack(qsizetype at) const
{
    const quint64 payload = m_payloads[size_t(at)];
    switch (m_kinds[size_t(at)]) {
    case Kind::Null:
        return QVariant();
    case Kind::LongLong:
        return QVariant(qlonglong(payload));
    case Kind::Double:
        return QVariant(numberOf(payload));
    case Kind::Text:
        return QVariant(m_texts[size_t(payload)]);
    case Kind::Other:
        break;
    }
    return m_others[size_t(payload)];
}

bool Recordset::eof() const
{
    return m_pos >= m_rowCount;
}

bool Recordset::bof() const
{
    return m_pos < 0 || m_rowCount == 0;
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
    // Names of another length are passed over without comparing them.
    for (int i = 0; i < m_columns.size(); ++i) {
        const QString &column = m_columns.at(i);
        if (column.size() == name.size() && column.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

QString Recordset::fieldName(int index) const
{
    if (index < 0 || index >= m_columns.size())
        throw DbError(QStringLiteral("Feldindex %1 ist außerhalb des Bereichs.").arg(index));
    return m_columns.at(index);
}

qsizetype Recordset::currentRowStart() const
{
    if (m_pos < 0 || eof())
        throw DbError(QStringLiteral("Kein aktueller Datensatz: Anfang oder Ende der Daten ist erreicht."));
    return qsizetype(m_pos) * m_columns.size();
}

QVariant Recordset::value(int index) const
{
    const qsizetype start = currentRowStart();
    if (index < 0 || index >= m_columns.size())
        throw DbError(QStringLiteral("Feldindex %1 ist außerhalb des Bereichs.").arg(index));
    return unpack(start + index);
}

QVariant Recordset::field(const QString &name) const
{
    return field(column(name));
}

QVariant Recordset::field(const Column &column) const
{
    if (column.m_index < 0)
        throw DbError(QStringLiteral("Das Feld \"%1\" ist im Ergebnis nicht vorhanden.").arg(column.m_name));
    return value(column.m_index);
}

bool Recordset::isNull(const QString &name) const
{
    return isDbNull(field(name));
}

QString Recordset::text(const QString &name) const
{
    return text(column(name));
}

QString Recordset::text(const Column &column) const
{
    const QVariant v = field(column);
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
    *this = Recordset();
}

} // namespace tannbuch
