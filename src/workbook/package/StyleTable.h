#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

#include <pugixml.hpp>

#include <array>
#include <optional>
#include <vector>

#include "workbook/cells/CellStyle.h"

namespace tannbuch {

class Workbook;

// The styles part of a workbook being saved: the template's formats kept in
// their order, and a cell format appended for each style the program made
// (a template format plus changed number format, bold, size, alignment,
// borders or quote prefix). New fonts, borders and number formats are
// appended the same way, and each is written once however many cells use it.
class StyleTable
{
public:
    // Starts from the template's styles part, or from a minimal one when
    // stylesXml is null. Throws WorkbookError when the part is malformed.
    StyleTable(const QByteArray *stylesXml, const QString &fileName);

    // The cell format number to write for the workbook's style id.
    int xfIndex(const Workbook &workbook, quint32 styleId);

    // True when formats were appended (or the part is new), so it must be written.
    bool isChanged() const { return m_changed; }
    QByteArray toXml() const;

private:
    int numberFormatId(const QString &code);
    // The index of the element in `list` serialised as `candidate`: a known
    // one, else the candidate appended (and added to `nodes` and `known`).
    int appendUnique(pugi::xml_node list, QHash<QByteArray, int> &known, std::vector<pugi::xml_node> &nodes,
        const pugi::xml_node &candidate);
    int makeXf(const CellStyle &style);
    void applyFont(pugi::xml_node xf, const CellStyle &style);
    void applyBorders(pugi::xml_node xf, const std::array<std::optional<BorderLine>, EdgeCount> &lines);
    pugi::xml_node rebuiltBorder(pugi::xml_document &doc, const pugi::xml_node &original,
        const std::array<std::optional<BorderLine>, EdgeCount> &lines) const;
    void applyAlignment(pugi::xml_node xf, HAlign horizontal);

    pugi::xml_document m_doc;
    QByteArray m_prefix; // the style sheet's namespace prefix with its colon, or empty
    pugi::xml_node m_numFmts;
    pugi::xml_node m_fonts;
    pugi::xml_node m_borders;
    pugi::xml_node m_cellXfs;
    std::vector<pugi::xml_node> m_fontNodes;
    std::vector<pugi::xml_node> m_borderNodes;
    std::vector<pugi::xml_node> m_xfNodes;
    int m_templateXfCount = 0;
    QHash<QString, int> m_formatIds;
    int m_nextFormatId = 164;
    QHash<QByteArray, int> m_knownFonts;
    QHash<QByteArray, int> m_knownBorders;
    QHash<QByteArray, int> m_knownXfs;
    std::vector<int> m_xfOfStyle; // style id -> cell format number, -1 = not yet made
    pugi::xml_document m_scratch;
    bool m_changed = false;
};

} // namespace tannbuch
