#include "Workbook.h"

namespace tannbuch {

// TemplatePackage is complete where the file layer defines it; the shared
// pointer's deleter was fixed when it was made, so nothing more is needed here.

Workbook::Workbook() = default;
Workbook::~Workbook() = default;

Worksheet *Workbook::sheet(const QString &name)
{
    const int i = sheetIndex(name);
    return i < 0 ? nullptr : m_sheets[size_t(i)].get();
}

const Worksheet *Workbook::sheet(const QString &name) const
{
    const int i = sheetIndex(name);
    return i < 0 ? nullptr : m_sheets[size_t(i)].get();
}

int Workbook::sheetIndex(const QString &name) const
{
    for (size_t i = 0; i < m_sheets.size(); ++i) {
        if (m_sheets[i]->name().compare(name, Qt::CaseInsensitive) == 0)
            return int(i);
    }
    return -1;
}

Worksheet &Workbook::addSheet(const QString &name)
{
    m_sheets.push_back(std::make_unique<Worksheet>(name));
    return *m_sheets.back();
}

ResolvedStyle Workbook::resolve(quint32 styleId) const
{
    const CellStyle &style = m_styles.style(styleId);
    ResolvedStyle r;
    if (style.baseXf >= 0 && size_t(style.baseXf) < m_baseStyles.size())
        r = m_baseStyles[size_t(style.baseXf)];
    else if (!m_baseStyles.empty())
        r = m_baseStyles.front();
    if (style.numberFormat)
        r.numberFormat = *style.numberFormat;
    if (style.bold)
        r.bold = *style.bold;
    if (style.fontSize)
        r.fontSize = *style.fontSize;
    if (style.horizontalAlignment)
        r.horizontalAlignment = *style.horizontalAlignment;
    for (int e = 0; e < EdgeCount; ++e) {
        if (style.borders[size_t(e)])
            r.borders[size_t(e)] = *style.borders[size_t(e)];
    }
    if (style.quotePrefix)
        r.quotePrefix = true;
    return r;
}

void Workbook::setLocale(const QLocale &locale)
{
    m_locale = locale;
    for (const auto &sheet : m_sheets)
        sheet->fitMemos().clear();
}

} // namespace tannbuch
