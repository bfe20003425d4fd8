#pragma once

#include <QString>

#include <optional>

namespace tannbuch {

// One value for a statement parameter: NULL, an integer, a real or a text.
// A null QString and an empty std::optional both stand for NULL, so optional
// columns can be passed as they are.
class SqlValue
{
public:
    enum class Type { Null, Integer, Real, Text };

    SqlValue() = default;
    SqlValue(int value)
        : m_type(Type::Integer)
        , m_integer(value)
    { }
    SqlValue(qint64 value)
        : m_type(Type::Integer)
        , m_integer(value)
    { }
    SqlValue(double value)
        : m_type(Type::Real)
        , m_real(value)
    { }
    SqlValue(const QString &value)
        : m_type(value.isNull() ? Type::Null : Type::Text)
        , m_text(value)
    { }
    template <typename T> SqlValue(const std::optional<T> &value)
    {
        if (value)
            *this = SqlValue(*value);
    }

    Type type() const { return m_type; }
    bool isNull() const { return m_type == Type::Null; }
    bool isInteger() const { return m_type == Type::Integer; }
    bool isReal() const { return m_type == Type::Real; }
    bool isText() const { return m_type == Type::Text; }

    qint64 integer() const { return m_integer; }
    double real() const { return m_real; }
    const QString &text() const { return m_text; }

    // The value as a number: integers and reals as they are, anything else 0.
    double number() const
    {
        if (isInteger())
            return double(m_integer);
        if (isReal())
            return m_real;
        return 0.0;
    }

private:
    Type m_type = Type::Null;
    qint64 m_integer = 0;
    double m_real = 0.0;
    QString m_text;
};

} // namespace tannbuch
