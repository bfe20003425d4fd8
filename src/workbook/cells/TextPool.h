#pragma once

#include <QSet>
#include <QString>

namespace tannbuch {

// Equal cell texts of a workbook share one buffer: a report repeats the same
// few texts (wood species, units, grades, remarks) in thousands of cells, and
// each copy fetched from the database would otherwise keep its own.
//
// Only short texts are pooled, and only up to a fixed number of them, so the
// pool stays small when a list holds mostly distinct texts: the frequent
// ones come early in a report.
class TextPool
{
public:
    // The pooled text equal to `text` (sharing its buffer), or `text` itself
    // when it is not pooled; adds it while the pool has room. Never fails.
    QString intern(const QString &text);

    static constexpr qsizetype MaxTexts = 8192;
    static constexpr qsizetype MaxLength = 64;

private:
    QSet<QString> m_texts;
};

} // namespace tannbuch
