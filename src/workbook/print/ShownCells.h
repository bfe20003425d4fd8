#pragma once

#include <QtGlobal>

#include <vector>

namespace tannbuch {

class Workbook;
struct Cell;

// Tells whether a cell shows anything on paper: a value, or a style with a
// fill or a border line. Each style is resolved once. Never throws.
class ShownCells
{
public:
    explicit ShownCells(const Workbook &workbook);

    bool shows(const Cell &cell);
    // True when cells of that style show without a value.
    bool styleShows(quint32 styleId);

private:
    const Workbook &m_workbook;
    std::vector<signed char> m_known; // by style id: -1 not yet resolved
};

} // namespace tannbuch
