#pragma once

#include "db/Backend.h"

#include <QString>
#include <QVariant>

// A result set read by cursor. The whole result is held in memory, so moving
// back (the static cursor the single-log section uses for its look-ahead)
// returns exactly the row that was left, with the same values.
//
// Field lookup is by name, ignoring letter case. Reading a field that the
// result does not have, or reading while the cursor is before the first or
// after the last row, throws DbError.
class Recordset
{
public:
    Recordset() = default;
    explicit Recordset(ResultData data);

    // End of data: the cursor stands after the last row (true at once on an
    // empty result).
    bool eof() const;
    // Beginning of data: the cursor stands before the first row (true together
    // with eof() only on an empty result).
    bool bof() const;
    bool isEmpty() const { return m_data.rows.empty(); }

    void moveNext();
    void movePrevious();
    void moveFirst();

    // Value of the named field in the current row; NULL is an invalid QVariant.
    QVariant field(const QString &name) const;
    // Value of the field at a position in SELECT-list order.
    QVariant value(int index) const;
    // True when the current row has the named field with a NULL value.
    bool isNull(const QString &name) const;
    // Field as text; NULL gives an empty text, dates their ISO form.
    QString text(const QString &name) const;

    int fieldCount() const { return int(m_data.columns.size()); }
    QString fieldName(int index) const;
    bool hasField(const QString &name) const { return indexOf(name) >= 0; }
    int indexOf(const QString &name) const;
    int rowCount() const { return int(m_data.rows.size()); }

    // Releases the rows; afterwards the result reads as empty.
    void close();

private:
    const std::vector<QVariant> &currentRow() const;

    ResultData m_data;
    // -1 before the first row, rows.size() after the last.
    int m_pos = 0;
};

// True for the NULL of a database value.
inline bool isDbNull(const QVariant &v)
{
    return !v.isValid() || v.isNull();
}
