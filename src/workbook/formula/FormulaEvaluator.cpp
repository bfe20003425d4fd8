#include "FormulaEvaluator.h"

#include "workbook/cells/CellAddress.h"
#include "workbook/cells/SheetLimits.h"
#include "workbook/cells/Worksheet.h"

#include <cmath>
#include <vector>

namespace tannbuch {

namespace {

using Result = FormulaEvaluator::Result;

Result number(double value)
{
    Result r;
    if (!std::isfinite(value)) {
        r.kind = Result::Kind::Error;
        r.error = QStringLiteral("#NUM!");
        return r;
    }
    r.kind = Result::Kind::Number;
    r.number = value == 0.0 ? 0.0 : value;
    return r;
}

Result error(const QString &text)
{
    Result r;
    r.kind = Result::Kind::Error;
    r.error = text;
    return r;
}

Result unknown()
{
    return Result();
}

bool isLetter(QChar c)
{
    return (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) || (c >= QLatin1Char('a') && c <= QLatin1Char('z'));
}

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// Recursive descent over the formula text. An unsupported construct sets
// `unsupported`; the caller then reports the result as unknown.
class Parser
{
public:
    Parser(const QString &text, FormulaEvaluator &evaluator)
        : m_text(text)
        , m_eval(evaluator)
    { }

    Result parse()
    {
        Result r = expression();
        skipBlanks();
        if (m_unsupported || m_pos != m_text.size())
            return unknown();
        return r;
    }

private:
    void skipBlanks()
    {
        while (m_pos < m_text.size() && m_text[m_pos].isSpace())
            ++m_pos;
    }

    bool take(QChar c)
    {
        skipBlanks();
        if (m_pos < m_text.size() && m_text[m_pos] == c) {
            ++m_pos;
            return true;
        }
        return false;
    }

    // Applies a binary operator, passing errors and unknowns on (left first).
    static Result combine(const Result &a, const Result &b, QChar op)
    {
        if (a.kind != Result::Kind::Number)
            return a;
        if (b.kind != Result::Kind::Number)
            return b;
        switch (op.unicode()) {
        case '+':
            return number(a.number + b.number);
        case '-':
            return number(a.number - b.number);
        case '*':
            return number(a.number * b.number);
        case '/':
            if (b.number == 0.0)
                return error(QStringLiteral("#DIV/0!"));
            return number(a.number / b.number);
        case '^':
            if (a.number == 0.0 && b.number < 0)
                return error(QStringLiteral("#DIV/0!"));
            return number(std::pow(a.number, b.number));
        default:
            return unknown();
        }
    }

    Result expression()
    {
        Result r = term();
        while (!m_unsupported) {
            if (take(QLatin1Char('+')))
                r = combine(r, term(), QLatin1Char('+'));
            else if (take(QLatin1Char('-')))
                r = combine(r, term(), QLatin1Char('-'));
            else
                break;
        }
        return r;
    }

    Result term()
    {
        Result r = power();
        while (!m_unsupported) {
            if (take(QLatin1Char('*')))
                r = combine(r, power(), QLatin1Char('*'));
            else if (take(QLatin1Char('/')))
                r = combine(r, power(), QLatin1Char('/'));
            else
                break;
        }
        return r;
    }

    Result power()
    {
        Result r = unary();
        while (!m_unsupported && take(QLatin1Char('^')))
            r = combine(r, unary(), QLatin1Char('^'));
        return r;
    }

    // Signs bind tighter than "^", as in spreadsheet formulas (-2^2 is 4).
    Result unary()
    {
        if (take(QLatin1Char('-'))) {
            const Result r = unary();
            return r.kind == Result::Kind::Number ? number(-r.number) : r;
        }
        if (take(QLatin1Char('+')))
            return unary();
        Result r = primary();
        while (!m_unsupported && take(QLatin1Char('%'))) {
            if (r.kind == Result::Kind::Number)
                r = number(r.number / 100.0);
        }
        return r;
    }

    Result primary()
    {
        skipBlanks();
        if (m_pos >= m_text.size()) {
            m_unsupported = true;
            return unknown();
        }
        const QChar c = m_text[m_pos];
        if (c == QLatin1Char('(')) {
            ++m_pos;
            const Result r = expression();
            if (!take(QLatin1Char(')')))
                m_unsupported = true;
            return r;
        }
        if (isDigit(c) || c == QLatin1Char('.'))
            return numberLiteral();
        if (isLetter(c) || c == QLatin1Char('$'))
            return reference();
        m_unsupported = true;
        return unknown();
    }

    Result numberLiteral()
    {
        const qsizetype start = m_pos;
        while (m_pos < m_text.size() && (isDigit(m_text[m_pos]) || m_text[m_pos] == QLatin1Char('.')))
            ++m_pos;
        if (m_pos < m_text.size() && (m_text[m_pos] == QLatin1Char('E') || m_text[m_pos] == QLatin1Char('e'))) {
            ++m_pos;
            if (m_pos < m_text.size() && (m_text[m_pos] == QLatin1Char('+') || m_text[m_pos] == QLatin1Char('-')))
                ++m_pos;
            while (m_pos < m_text.size() && isDigit(m_text[m_pos]))
                ++m_pos;
        }
        bool ok = false;
        const double value = m_text.mid(start, m_pos - start).toDouble(&ok);
        if (!ok) {
            m_unsupported = true;
            return unknown();
        }
        return number(value);
    }

    Result reference()
    {
        qsizetype i = m_pos;
        if (m_text[i] == QLatin1Char('$'))
            ++i;
        const qsizetype letterStart = i;
        while (i < m_text.size() && isLetter(m_text[i]))
            ++i;
        const QStringView letters = QStringView(m_text).mid(letterStart, i - letterStart);
        if (i < m_text.size() && m_text[i] == QLatin1Char('$'))
            ++i;
        const qsizetype digitStart = i;
        qint64 row = 0;
        while (i < m_text.size() && isDigit(m_text[i])) {
            row = row * 10 + (m_text[i].unicode() - '0');
            if (row > SheetLimits::MaxRows)
                break;
            ++i;
        }
        // A name, function call, sheet reference or range is not handled here.
        if (letters.isEmpty() || i == digitStart || row < 1 || row > SheetLimits::MaxRows
            || (i < m_text.size()
                && (m_text[i] == QLatin1Char('(') || m_text[i] == QLatin1Char('!') || m_text[i] == QLatin1Char(':')
                    || isLetter(m_text[i]) || isDigit(m_text[i])))) {
            m_unsupported = true;
            return unknown();
        }
        const int column = CellAddress::columnIndex(letters);
        if (column == 0) {
            m_unsupported = true;
            return unknown();
        }
        m_pos = i;
        return m_eval.cellValue(int(row), column);
    }

    const QString &m_text;
    FormulaEvaluator &m_eval;
    qsizetype m_pos = 0;
    bool m_unsupported = false;
};

} // namespace

FormulaEvaluator::FormulaEvaluator(const Worksheet &sheet)
    : m_sheet(sheet)
{ }

FormulaEvaluator::Result FormulaEvaluator::evaluate(const QString &formula)
{
    const QString text = formula.startsWith(QLatin1Char('=')) ? formula.mid(1) : formula;
    if (text.trimmed().isEmpty())
        return unknown();
    if (text.contains(QLatin1String("#REF!")))
        return error(QStringLiteral("#REF!"));
    return Parser(text, *this).parse();
}

FormulaEvaluator::Result FormulaEvaluator::cellValue(int row, int column)
{
    const Cell *cell = m_sheet.cell(row, column);
    if (!cell)
        return number(0.0);
    switch (cell->type) {
    case CellType::Empty:
        return number(0.0);
    case CellType::Number:
    case CellType::Boolean:
        return number(cell->number);
    case CellType::Text:
        return unknown();
    case CellType::Error:
        return error(cell->text);
    case CellType::Formula:
        break;
    }
    const auto key = std::make_pair(row, column);
    const auto done = m_done.find(key);
    if (done != m_done.end())
        return done->second;
    if (!m_inProgress.insert(key).second)
        return unknown(); // circular reference
    const Result r = evaluate(cell->formula);
    m_inProgress.erase(key);
    m_done.emplace(key, r);
    return r;
}

void FormulaEvaluator::storeResult(Cell &cell, const Result &result)
{
    switch (result.kind) {
    case Result::Kind::Number:
        cell.cachedType = CellType::Number;
        cell.number = result.number;
        cell.text.clear();
        break;
    case Result::Kind::Error:
        cell.cachedType = CellType::Error;
        cell.number = 0.0;
        cell.text = result.error;
        break;
    case Result::Kind::Unknown:
        cell.cachedType = CellType::Empty;
        cell.number = 0.0;
        cell.text.clear();
        break;
    }
}

void FormulaEvaluator::recalculate(Worksheet &sheet)
{
    struct Update
    {
        int row;
        int column;
        Result result;
    };
    std::vector<Update> updates;
    {
        FormulaEvaluator eval(sheet);
        for (const auto &[rowNumber, row] : sheet.rows()) {
            for (const Cell &c : row.cells) {
                if (c.type != CellType::Formula)
                    continue;
                const Result r = eval.cellValue(rowNumber, c.column);
                Cell probe = c;
                storeResult(probe, r);
                if (probe.cachedType != c.cachedType || probe.number != c.number || probe.text != c.text)
                    updates.push_back({rowNumber, c.column, r});
            }
        }
    }
    for (const Update &u : updates)
        storeResult(sheet.cellForWrite(u.row, u.column), u.result);
}

} // namespace tannbuch
