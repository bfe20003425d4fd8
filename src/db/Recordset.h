#pragma once

#include "db/Backend.h"

#include <QHash>
#include <QString>
#include <QVariant>

#include <vector>

namespace tannbuch {

// A result set read by cursor. The whole result is held in memory, so moving
// back (the static cursor the single-log section uses for its look-ahead)
// returns exactly the row that was left, with the same values.
//
// The values are kept packed rather than as one QVariant each: a list of a
// hundred thousand logs comes as millions of values, mostly numbers and a
// few texts repeated over and over. A value reads back as the QVariant the
// database gave, of the same type.
//
// Field lookup is by name, ignoring letter case. Reading a field that the
// result does not have, or reading while the cursor is before the first or
// after the last row, throws DbError.
class Recordset
{
public:
    // A field found once by its name and then read by its position in every
    // row: a section reads the same few dozen fields in thousands of rows.
    // A name the result does not have gives a column that throws DbError
    // when it is read, as reading the name would.
    class Column
    {
    public:
        Column() = default;

    private:
        friend class Recordset;
        Column(int index, const QString &name)
            : m_index(index)
            , m_name(name)
        { }
        int m_index = -1;
        QString m_name;
    };

    Recordset() = default;
    explicit Recordset(ResultData data);

    // End of data: the cursor stands after the last row (true at once on an
    // empty result).
    bool eof() const;
    // Beginning of data: the cursor stands before the first row (true together
    // with eof() only on an empty result).
    bool bof() const;
    bool isEmpty() const { return m_rowCount == 0; }

    void moveNext();
    void movePrevious();
    void moveFirst();

    // Value of the named field in the current row; NULL is an invalid QVariant.
    QVariant field(const QString &name) const;
    // The field of that name, to read in row after row.
    Column column(const QString &name) const { return Column(indexOf(name), name); }
    QVariant field(const Column &column) const;
    QString text(const Column &column) const;
    // Value of the field at a position in SELECT-list order.
    QVariant value(int index) const;
    // True when the current row has the named field with a NULL value.
    bool isNull(const QString &name) const;
    // Field as text; NULL gives an empty text, dates their ISO form.
    QString text(const QString &name) const;

    int fieldCount() const { return int(m_columns.size()); }
    QString fieldName(int index) const;
    bool hasField(const QString &name) const { return indexOf(name) >= 0; }
    int indexOf(const QString &name) const;
    int rowCount() const { return m_rowCount; }

    // Releases the rows; afterwards the result reads as empty.
    void close();

private:
    // How a value is kept: numbers in their bits, texts and the rarer types
    // (dates, bytes) by their place in a list of their own.
    enum class Kind : quint8 { Null, LongLong, Double, Text, Other };

    void pack(std::vector<QVariant> &row, QHash<QString, quint64> &sharedTexts);
    quint64 textIndex(const QString &text, QHash<QString, quint64> &sharedTexts);
    qsizetype currentRowStart() const;
    QVariant unpack(qsizetype at) const;

    QStringList m_columns;
    int m_rowCount = 0;
    std::vector<Kind> m_kinds; // row after row, one per column
    std::vector<quint64> m_payloads; // beside each kind: the number, or the index of the text or other value
    std::vector<QString> m_texts; // equal short texts stored once
    std::vector<QVariant> m_others;
    // -1 before the first row, m_rowCount after the last.
    int m_pos = 0;
};

// True for the NULL of a database value.
inline bool isDbNull(const QVariant &v)
{
    return !v.isValid() || v.isNull();
}

} // namespace tannbuch
