#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

#include <vector>

namespace tannbuch {

struct Cell;

// The shared strings part of a workbook being saved: the template's strings
// kept in their order (rich text included), the program's texts appended,
// each text stored once.
class SharedStringTable
{
public:
    // Starts from the template's strings part, or empty when templateXml is
    // null. Throws WorkbookError when the part is malformed.
    SharedStringTable(const QByteArray *templateXml, const QString &fileName);

    // The string number to write for a text cell (its loaded template string
    // while the text is unchanged, else the number of the text, added when new).
    int indexFor(const Cell &cell);
    int indexFor(const QString &text);
    // The number indexFor gave before, without counting another use; -1 for
    // a text never entered.
    int indexOf(const Cell &cell) const;
    int indexOf(const QString &text) const;

    // Counts the references of a sheet part written back as it was (its
    // shared-string cells), so the part's total stays right.
    void addKeptSheet(const QByteArray &sheetXml, const QString &partName, const QString &fileName);

    // True when strings were added or the number of references changed.
    bool isChanged() const { return !m_added.empty() || m_references != m_templateReferences; }
    QByteArray toXml() const;

private:
    bool keepsTemplateString(const Cell &cell) const;

    QByteArray m_head; // the root element's start tag, without count attributes
    QByteArray m_rootName;
    QByteArray m_templateItems; // the template's string items, as read
    QString m_prefix;
    std::vector<QString> m_templateTexts;
    QHash<QString, int> m_index;
    std::vector<QString> m_added;
    int m_templateCount = 0;
    qint64 m_references = 0; // shared-string cells of the sheets written
    qint64 m_templateReferences = 0; // the total the template's part states
};

} // namespace tannbuch
