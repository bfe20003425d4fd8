#pragma once

#include <QString>
#include <QStringView>
#include <QtGlobal>

#include <memory>

namespace tannbuch {

enum class CellType : quint8 { Empty, Number, Text, Boolean, Formula, Error };

// A cell's formula text, kept out of line: few cells of a report hold one, so
// a cell without pays for one pointer instead of a whole string. Reads as a
// QString (an empty one when there is none).
class CellFormula
{
public:
    CellFormula() = default;
    CellFormula(const CellFormula &other)
        : m_text(other.m_text ? std::make_unique<QString>(*other.m_text) : nullptr)
    { }
    CellFormula(CellFormula &&) noexcept = default;
    CellFormula &operator=(const CellFormula &other)
    {
        if (this != &other)
            *this = static_cast<const QString &>(other);
        return *this;
    }
    CellFormula &operator=(CellFormula &&) noexcept = default;
    CellFormula &operator=(const QString &text)
    {
        if (text.isEmpty())
            m_text.reset();
        else if (m_text)
            *m_text = text;
        else
            m_text = std::make_unique<QString>(text);
        return *this;
    }
    CellFormula &operator=(QString &&text)
    {
        if (text.isEmpty())
            m_text.reset();
        else if (m_text)
            *m_text = std::move(text);
        else
            m_text = std::make_unique<QString>(std::move(text));
        return *this;
    }

    operator const QString &() const { return m_text ? *m_text : empty(); }
    operator QStringView() const { return m_text ? QStringView(*m_text) : QStringView(); }

    bool isEmpty() const { return !m_text || m_text->isEmpty(); }
    qsizetype size() const { return m_text ? m_text->size() : 0; }
    void clear() { m_text.reset(); }
    bool startsWith(QChar c) const { return m_text && m_text->startsWith(c); }
    QString mid(qsizetype position, qsizetype n = -1) const { return m_text ? m_text->mid(position, n) : QString(); }

    friend bool operator==(const CellFormula &a, const QString &b) { return static_cast<const QString &>(a) == b; }
    friend bool operator==(const QString &a, const CellFormula &b) { return b == a; }
    friend bool operator!=(const CellFormula &a, const QString &b) { return !(a == b); }
    friend bool operator!=(const QString &a, const CellFormula &b) { return !(b == a); }

private:
    static const QString &empty()
    {
        static const QString none;
        return none;
    }

    std::unique_ptr<QString> m_text;
};

// One cell of a worksheet. A cell may exist with type Empty to carry a style.
// Numbers and booleans (0 or 1) live in `number`; texts in `text`; an error
// value keeps its code ("#DIV/0!") in `text`. A formula keeps its text with
// the leading "=" in `formula` and the last known result in `number` or
// `text` (cachedType says which: Number, Text, Boolean or Error; Empty when
// unknown).
//
// A report holds hundreds of thousands of cells: the members are ordered so
// that the cell packs into 56 bytes.
struct Cell
{
    double number = 0.0;
    QString text;
    CellFormula formula;
    int column = 0;
    quint32 styleId = 0;
    // The number of the template's shared string the text was loaded from
    // (-1 for none); the writer reuses it while the text is unchanged, so rich
    // text of a template string survives.
    qint32 sharedString = -1;
    CellType type = CellType::Empty;
    CellType cachedType = CellType::Empty;

    bool isEmpty() const { return type == CellType::Empty; }
};

} // namespace tannbuch
