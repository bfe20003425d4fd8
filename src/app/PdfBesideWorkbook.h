#pragma once

#include <QString>
#include <QStringList>

namespace tannbuch {

class ProgramUi;
class Workbook;

// The PDF an unattended report gets beside the workbook it saves
// ("DEMO_4711.pdf" beside "DEMO_4711.xlsx"). Workbook and PDF must never
// disagree, since the host may send the PDF on as the report: just before
// the new workbook replaces the old one, the old PDF is put aside; it is
// dropped once the workbook is saved and put back when saving fails. The new
// PDF is then written through a temporary file. So a run that fails or is
// killed anywhere leaves the old pair, or the new workbook without a PDF, or
// the new pair; never a workbook beside the PDF of another report.
class PdfBesideWorkbook
{
public:
    // The PDF's path for a workbook's path.
    static QString pdfPathOf(const QString &workbookPath);

    // Puts the PDF of the workbook at workbookPath aside, if there is one.
    // Throws WorkbookError when that is not possible: the workbook must then
    // not be saved.
    void beforeSave(const QString &workbookPath);
    // Drops the PDF put aside when the workbook was saved, else puts it back.
    // Never throws; what could not be done is noted.
    void afterSave(const QString &workbookPath, bool saved);

    // Draws the active sheet into the PDF beside the saved workbook, showing
    // the pages' progress. False when it failed, with a note saying what was
    // and what was not saved.
    bool write(const Workbook &workbook, const QString &workbookPath, ProgramUi &ui);

    // What the user must learn of the above, in order; failures all.
    const QStringList &notes() const { return m_notes; }

private:
    QString m_aside; // where the old PDF waits while the workbook is saved
    bool m_oldRemoved = false;
    QStringList m_notes;
};

} // namespace tannbuch
