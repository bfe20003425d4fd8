#include "PdfBesideWorkbook.h"

#include "report/ProgramUi.h"
#include "workbook/cells/WorkbookError.h"
#include "workbook/print/ReportPrinter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <utility>

namespace tannbuch {

namespace {

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

} // namespace

QString PdfBesideWorkbook::pdfPathOf(const QString &workbookPath)
{
    QString path = workbookPath;
    if (path.endsWith(QStringLiteral(".xlsx"), Qt::CaseInsensitive))
        path.chop(5);
    return path + QStringLiteral(".pdf");
}

void PdfBesideWorkbook::beforeSave(const QString &workbookPath)
{
    const QString pdf = pdfPathOf(workbookPath);
    const QFileInfo old(pdf);
    if (!old.exists() && !old.isSymLink())
        return;
    // Not named *.pdf, so nothing takes it for the report's PDF; a copy left
    // by a run that was killed is replaced.
    const QString aside = pdf + QStringLiteral(".alt");
    QFile::remove(aside);
    if (!QFile::rename(pdf, aside))
        throw WorkbookError(QStringLiteral("Das PDF \"%1\" des vorigen Berichts lässt sich nicht beiseitelegen; "
                                           "damit Arbeitsmappe und PDF zusammenpassen, wurde die neue Arbeitsmappe "
                                           "nicht gespeichert.")
                                .arg(shown(pdf)));
    m_aside = aside;
}

void PdfBesideWorkbook::afterSave(const QString &workbookPath, bool saved)
{
    if (m_aside.isEmpty())
        return;
    const QString aside = std::exchange(m_aside, QString());
    const QString pdf = pdfPathOf(workbookPath);
    if (saved) {
        m_oldRemoved = true;
        if (!QFile::remove(aside))
            m_notes << QStringLiteral("Die beiseitegelegte Fassung \"%1\" des vorigen PDFs konnte nicht gelöscht "
                                      "werden.")
                           .arg(shown(aside));
    } else if (!QFile::rename(aside, pdf)) {
        m_notes << QStringLiteral("Das PDF des vorigen Berichts liegt jetzt unter \"%1\"; es konnte nicht an seinen "
                                  "Platz \"%2\" zurückgelegt werden.")
                       .arg(shown(aside), shown(pdf));
    }
}

bool PdfBesideWorkbook::write(const Workbook &workbook, const QString &workbookPath, ProgramUi &ui)
{
    const QString pdf = pdfPathOf(workbookPath);
    ui.showStatus(QStringLiteral("PDF ..."));
    const ReportPrinter::Progress progress = [&ui](int done, int total) {
        ui.showProgress(done, total);
        return true;
    };
    QString failure;
    try {
        ReportPrinter::exportPdf(workbook, pdf, progress, workbookPath);
    } catch (const WorkbookError &e) {
        failure = e.message();
    }
    ui.showProgress(0, 0);
    if (failure.isEmpty())
        return true;
    QString note = QStringLiteral("Die Arbeitsmappe \"%1\" wurde gespeichert, das PDF \"%2\" nicht.")
                       .arg(shown(workbookPath), shown(pdf));
    if (m_oldRemoved)
        note += QStringLiteral(" Das PDF des vorigen Berichts wurde entfernt, damit es nicht neben der neuen "
                               "Arbeitsmappe liegt.");
    m_notes << note + QLatin1Char('\n') + failure;
    return false;
}

} // namespace tannbuch
