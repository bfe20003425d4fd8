#pragma once

#include <QString>

#include <map>
#include <set>
#include <utility>

namespace tannbuch {

class Worksheet;
struct Cell;

// Computes the results of the simple formulas a report writes (cell
// references on the same sheet, numbers, + - * / ^, unary signs, percent and
// parentheses, such as "=H14/ H20"), so that a saved file carries the result
// for viewers that do not recalculate. Anything else (functions, other
// sheets, texts) has no known result; the file asks spreadsheet programs to
// recalculate on load anyway.
//
// Referenced cells count as their values: empty 0, booleans 1 and 0, numbers
// themselves, error values their error, formulas their own result (computed
// in turn; a circular reference has no result); a text makes the result
// unknown.
class FormulaEvaluator
{
public:
    struct Result
    {
        enum class Kind { Number, Error, Unknown };
        Kind kind = Kind::Unknown;
        double number = 0.0;
        QString error; // "#DIV/0!", "#REF!", "#NUM!"
    };

    explicit FormulaEvaluator(const Worksheet &sheet);

    // The result of a formula text (with or without its leading "=").
    Result evaluate(const QString &formula);
    // The value of a cell as formulas see it.
    Result cellValue(int row, int column);

    // Stores a result as the formula cell's cached value: a number, an error
    // value (its code, "#DIV/0!", in the text), or no value when unknown.
    static void storeResult(Cell &cell, const Result &result);
    // Recomputes the cached value of every formula on the sheet. Marks the
    // sheet changed only when a cached value actually changes.
    static void recalculate(Worksheet &sheet);

private:
    const Worksheet &m_sheet;
    std::set<std::pair<int, int>> m_inProgress;
    std::map<std::pair<int, int>, Result> m_done;
};

} // namespace tannbuch
