#include "Application.h"

#include "workbook/cells/SheetLimits.h"
#include "workbook/cells/Workbook.h"
#include "workbook/cells/WorkbookError.h"
#include "workbook/cells/Worksheet.h"
#include "workbook/cells/XlConstants.h"
#include "workbook/formula/FormulaEvaluator.h"
#include "workbook/package/XlsxReader.h"
#include "workbook/package/XlsxWriter.h"
#include "workbook/print/ReportPrinter.h"

#include <QFileInfo>

#include <algorithm>

namespace tannbuch {

Application::Application()
    : m_windowState(Xl::WindowNormal)
{ }

Application::~Application() = default;

void Application::setWindowState(int state)
{
    if (state != Xl::WindowNormal && state != Xl::WindowMinimized && state != Xl::WindowMaximized)
        throw WorkbookError(QStringLiteral("Unbekannter Fensterzustand %1.").arg(state));
    m_windowState = state;
}

void Application::setLocale(const QLocale &locale)
{
    m_locale = locale;
    for (const auto &book : m_books)
        book->setLocale(locale);
}

Workbooks Application::workbooks()
{
    return Workbooks(*this);
}

BookHandle Application::addWorkbook(const QString &templatePath)
{
    if (m_quit)
        throw WorkbookError(QStringLiteral("Die Tabellenkalkulation wurde bereits beendet."));
    return addWorkbook(XlsxReader::load(templatePath));
}

BookHandle Application::addWorkbook()
{
    auto book = std::make_unique<Workbook>();
    book->addSheet(QStringLiteral("Tabelle1"));
    return addWorkbook(std::move(book));
}

BookHandle Application::addWorkbook(std::unique_ptr<Workbook> workbook)
{
    if (m_quit)
        throw WorkbookError(QStringLiteral("Die Tabellenkalkulation wurde bereits beendet."));
    if (!workbook)
        throw WorkbookError(QStringLiteral("Es wurde keine Arbeitsmappe übergeben."));
    if (workbook->sheetCount() == 0)
        workbook->addSheet(QStringLiteral("Tabelle1"));
    if (workbook->activeSheetIndex() < 0 || workbook->activeSheetIndex() >= workbook->sheetCount())
        workbook->setActiveSheetIndex(0);
    workbook->setLocale(m_locale);
    m_books.push_back(std::move(workbook));
    m_active = int(m_books.size()) - 1;
    return BookHandle(*this, *m_books.back());
}

BookHandle Application::workbookAt(int index)
{
    if (index < 0 || index >= int(m_books.size()))
        throw WorkbookError(QStringLiteral("Es gibt keine Arbeitsmappe Nummer %1.").arg(index + 1));
    return BookHandle(*this, *m_books[size_t(index)]);
}

void Application::activateWorkbook(Workbook &workbook)
{
    for (size_t i = 0; i < m_books.size(); ++i) {
        if (m_books[i].get() == &workbook) {
            m_active = int(i);
            return;
        }
    }
    throw WorkbookError(QStringLiteral("Die Arbeitsmappe ist nicht geöffnet."));
}

void Application::forgetWorkbook(const Workbook &workbook)
{
    for (int i = 0; i < workbook.sheetCount(); ++i)
        m_selections.erase(&workbook.sheet(i));
    m_savedPaths.erase(&workbook);
}

void Application::closeWorkbook(Workbook &workbook, bool saveChanges)
{
    const auto it = std::find_if(m_books.begin(), m_books.end(), [&](const auto &b) { return b.get() == &workbook; });
    if (it == m_books.end())
        throw WorkbookError(QStringLiteral("Die Arbeitsmappe ist nicht geöffnet."));
    if (saveChanges) {
        const QString path = savedPath(workbook);
        if (path.isEmpty())
            throw WorkbookError(QStringLiteral("Die Arbeitsmappe wurde noch nie gespeichert; sie braucht erst einen "
                                               "Dateinamen."));
        saveWorkbookAs(workbook, path);
    }
    forgetWorkbook(workbook);
    const int index = int(it - m_books.begin());
    m_books.erase(it);
    if (m_books.empty())
        m_active = -1;
    else if (m_active >= index)
        m_active = std::max(0, m_active - 1);
}

void Application::quit()
{
    while (!m_books.empty())
        closeWorkbook(*m_books.back(), false);
    m_clipboard = CellClipboard();
    m_visible = false;
    m_quit = true;
}

void Application::run(const QString &macroName, const QVariantList &arguments)
{
    m_macroCalls.push_back({macroName, arguments});
    Workbook &book = requireActiveWorkbook();
    TemplateMacros::run(book, book.activeSheet(), macroName, arguments);
}

Workbook &Application::requireActiveWorkbook()
{
    if (m_active < 0 || m_active >= int(m_books.size()))
        throw WorkbookError(QStringLiteral("Es ist keine Arbeitsmappe geöffnet."));
    return *m_books[size_t(m_active)];
}

Range Application::range(const QString &address)
{
    return activeSheet().range(address);
}

Range Application::cells(int row, int column)
{
    return activeSheet().cells(row, column);
}

Range Application::rows(const QString &rows)
{
    return activeSheet().rows(rows);
}

Range Application::rows(int row)
{
    return activeSheet().rows(row);
}

Range Application::columns(const QString &columns)
{
    return activeSheet().columns(columns);
}

Range Application::columns(int column)
{
    return activeSheet().columns(column);
}

Range Application::selection()
{
    return activeSheet().selection();
}

Range Application::activeCell()
{
    return activeSheet().activeCell();
}

SheetHandle Application::activeSheet()
{
    return activeWorkbook().activeSheet();
}

Window Application::activeWindow()
{
    return Window(*this, requireActiveWorkbook());
}

BookHandle Application::activeWorkbook()
{
    return BookHandle(*this, requireActiveWorkbook());
}

SheetHandle Application::worksheets(const QString &name)
{
    return activeWorkbook().worksheets(name);
}

SheetSelection &Application::selectionOf(const Worksheet &sheet)
{
    return m_selections[&sheet];
}

bool Application::isActiveSheet(const Worksheet &sheet) const
{
    if (m_active < 0 || m_active >= int(m_books.size()))
        return false;
    const Workbook &book = *m_books[size_t(m_active)];
    return book.sheetCount() > 0 && &book.sheet(book.activeSheetIndex()) == &sheet;
}

namespace {

// Viewers that do not recalculate show the stored results of formulas: bring
// them up to date with the cells they depend on before a file is made.
void refreshFormulaResults(Workbook &workbook)
{
    for (int i = 0; i < workbook.sheetCount(); ++i) {
        if (workbook.sheet(i).isChanged())
            FormulaEvaluator::recalculate(workbook.sheet(i));
    }
}

} // namespace

void Application::saveWorkbookAs(Workbook &workbook, const QString &path)
{
    saveWorkbookCopy(workbook, path);
    m_savedPaths[&workbook] = QFileInfo(path).absoluteFilePath();
}

void Application::saveWorkbookCopy(Workbook &workbook, const QString &path)
{
    refreshFormulaResults(workbook);
    XlsxWriter::save(workbook, path);
}

QString Application::savedPath(const Workbook &workbook) const
{
    const auto it = m_savedPaths.find(&workbook);
    return it == m_savedPaths.end() ? QString() : it->second;
}

void Application::printWorkbook(
    Workbook &workbook, int copies, bool collate, const std::function<bool(int, int)> &progress)
{
    if (copies < 1 || copies > 999)
        throw WorkbookError(QStringLiteral("Die Anzahl der Exemplare %1 liegt nicht zwischen 1 und 999.").arg(copies));
    refreshFormulaResults(workbook);
    if (m_printer)
        m_printer(workbook, copies, collate, progress, savedPath(workbook));
    else
        ReportPrinter::print(workbook, copies, collate, QString(), progress, savedPath(workbook));
}

} // namespace tannbuch
