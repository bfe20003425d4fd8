#pragma once

#include "workbook/cells/CellStyle.h"
#include "workbook/cells/TextPool.h"
#include "workbook/cells/Worksheet.h"

#include <QLocale>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <memory>
#include <vector>

namespace tannbuch {

struct TemplatePackage;

// A workbook held in memory: its worksheets, the styles its cells use, the
// template's own cell formats (resolved, for display and value conversion),
// custom document properties, and the template package it came from, which
// the file layer keeps so that every part the program does not change is
// written back as it was.
class Workbook
{
public:
    Workbook();
    ~Workbook();
    Workbook(const Workbook &) = delete;
    Workbook &operator=(const Workbook &) = delete;

    int sheetCount() const { return int(m_sheets.size()); }
    Worksheet &sheet(int index) { return *m_sheets.at(size_t(index)); }
    const Worksheet &sheet(int index) const { return *m_sheets.at(size_t(index)); }
    // The sheet of that name (letter case ignored), or nullptr.
    Worksheet *sheet(const QString &name);
    const Worksheet *sheet(const QString &name) const;
    int sheetIndex(const QString &name) const;
    Worksheet &addSheet(const QString &name);

    int activeSheetIndex() const { return m_activeSheet; }
    void setActiveSheetIndex(int index) { m_activeSheet = index; }
    Worksheet &activeSheet() { return sheet(m_activeSheet); }

    StylePool &styles() { return m_styles; }
    const StylePool &styles() const { return m_styles; }

    // The template's cell formats, resolved; index = the template's format
    // number. Empty for a workbook made from nothing.
    const std::vector<ResolvedStyle> &baseStyles() const { return m_baseStyles; }
    void setBaseStyles(std::vector<ResolvedStyle> styles) { m_baseStyles = std::move(styles); }
    // The effective formatting of a style id.
    ResolvedStyle resolve(quint32 styleId) const;

    QMap<QString, QVariant> &customProperties() { return m_customProperties; }
    const QMap<QString, QVariant> &customProperties() const { return m_customProperties; }

    // Locale for turning typed texts into numbers (decimal separator).
    const QLocale &locale() const { return m_locale; }
    // Also forgets what AutoFit measured: the texts shown depend on the locale.
    void setLocale(const QLocale &locale);

    // The file the workbook was made from (template path), empty for a new one.
    const QString &sourcePath() const { return m_sourcePath; }
    void setSourcePath(const QString &path) { m_sourcePath = path; }

    const std::shared_ptr<const TemplatePackage> &package() const { return m_package; }
    void setPackage(std::shared_ptr<const TemplatePackage> package) { m_package = std::move(package); }

    // Things the user should know that did not stop the work (dropped page
    // breaks, cut texts); shown by the caller.
    QStringList &warnings() { return m_warnings; }
    const QStringList &warnings() const { return m_warnings; }
    // Adds a warning unless the same text is there already. Const because
    // saving (which takes a const workbook) reports what it had to leave out
    // this way; warnings are a side channel, not part of the workbook's content.
    void addWarning(const QString &text) const
    {
        if (!m_warnings.contains(text))
            m_warnings.append(text);
    }

    // Equal cell texts written into the workbook share one buffer through it.
    TextPool &texts() { return m_texts; }

private:
    std::vector<std::unique_ptr<Worksheet>> m_sheets;
    int m_activeSheet = 0;
    StylePool m_styles;
    std::vector<ResolvedStyle> m_baseStyles;
    QMap<QString, QVariant> m_customProperties;
    QLocale m_locale;
    QString m_sourcePath;
    std::shared_ptr<const TemplatePackage> m_package;
    mutable QStringList m_warnings;
    TextPool m_texts;
};

} // namespace tannbuch
