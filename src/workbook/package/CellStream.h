#pragma once

#include <QByteArray>

#include <algorithm>
#include <charconv>
#include <cstring>

namespace tannbuch {

// The bytes of a sheet's cells: a buffer grown by doubling and filled with
// memcpy, since a million cells make some thirty million small appends.
class CellStream
{
public:
    explicit CellStream(qsizetype reserve)
        : m_reserve(std::max<qsizetype>(reserve, 256))
    {
        restart();
    }
    void append(const char *text, qsizetype n)
    {
        if (m_size + n > m_data.size())
            grow(n);
        std::memcpy(m_ptr + m_size, text, size_t(n));
        m_size += n;
    }
    template <size_t N> void append(const char (&literal)[N]) { append(literal, qsizetype(N - 1)); }
    void append(char c)
    {
        if (m_size + 1 > m_data.size())
            grow(1);
        m_ptr[m_size++] = c;
    }
    void append(const QByteArray &bytes) { append(bytes.constData(), bytes.size()); }
    void appendInt(qint64 value)
    {
        if (m_size + 24 > m_data.size())
            grow(24);
        m_size += std::to_chars(m_ptr + m_size, m_ptr + m_size + 24, value).ptr - (m_ptr + m_size);
    }
    void appendNumber(double value)
    {
        if (m_size + 32 > m_data.size())
            grow(32);
        m_size += std::to_chars(m_ptr + m_size, m_ptr + m_size + 32, value).ptr - (m_ptr + m_size);
    }
    qsizetype size() const { return m_size; }
    // The bytes written; the stream starts anew afterwards, with its reserve.
    QByteArray take()
    {
        m_data.resize(m_size);
        QByteArray bytes = std::move(m_data);
        restart();
        return bytes;
    }

private:
    void restart()
    {
        m_data = QByteArray();
        m_data.resize(m_reserve);
        m_ptr = m_data.data();
        m_size = 0;
    }
    void grow(qsizetype n)
    {
        m_data.resize(std::max(m_data.size() * 2, m_size + n));
        m_ptr = m_data.data();
    }

    qsizetype m_reserve;
    QByteArray m_data;
    char *m_ptr = nullptr;
    qsizetype m_size = 0;
};

} // namespace tannbuch
