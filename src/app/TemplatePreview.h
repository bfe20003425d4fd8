#pragma once

#include <QString>
#include <QStringList>

#include <functional>

namespace tannbuch {

// The demo a preview prints when no list is named: an ini file naming the
// demo database (connection, access level, business year, header lines and
// picture) and the number of the demo list.
struct DemoSource
{
    QString iniPath;
    QString listNumber;
};

// Writes the demo into an empty folder, which the preview removes
// afterwards. Throws a std::exception with a readable message when it cannot.
using DemoWriter = std::function<DemoSource(const QString &folder)>;

// A template's report of one list, printed to a PDF without a window.
struct TemplatePreviewRequest
{
    QString templatePath; // the template file itself, whatever its name
    QString pdfPath; // the PDF to write
    // The ini file: with a list, its connection as the host's command line
    // takes it (empty: kelmora.ini beside the program); without, only its
    // client code, header lines and picture (empty: the demo's).
    QString iniPath;
    QString listNumber; // empty: the demo list
};

// What became of a preview.
struct TemplatePreviewOutcome
{
    bool written = false; // the PDF is there, complete
    QStringList messages; // why it is not, in order
    QStringList warnings; // what the report had to leave out; the PDF is good all the same
};

// Prints the template's report of the list into the PDF: starts the program
// on the list's connection (or on the demo, written by writeDemo into a
// temporary folder) with the template file in place of the ini's template
// folder, makes the request a clerk's window makes for that list right after
// start-up (never printing at once, never saving), runs the print job and
// draws the report sheet with the program's own page renderer. The PDF is
// written through a temporary file beside it: a failed preview leaves no
// PDF, and an earlier file at that path untouched. Nothing else remains: the
// demo's folder is removed and the workbook is not saved. Every failure
// (template unreadable, list not found, database not reachable, PDF not
// writable) comes back as a message; nothing throws.
TemplatePreviewOutcome RunTemplatePreview(const TemplatePreviewRequest &request, const DemoWriter &writeDemo);

} // namespace tannbuch
