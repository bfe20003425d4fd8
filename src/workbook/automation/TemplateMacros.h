#pragma once

#include <QString>
#include <QVariantList>

namespace tannbuch {

class Workbook;
class Worksheet;

// One call of a template macro: its name as given and its arguments.
struct MacroCall
{
    QString name;
    QVariantList arguments;
};

// The engine's own versions of the four macros a report template carries in
// its workbook module, run by name as the report driver calls them:
// - "DieseArbeitsmappe.SetGlobalVariables"(connection, filter, list number)
//   stores what the saved report may tell of them as custom document
//   properties of the workbook (TannbuchVerbindung, TannbuchFilter,
//   TannbuchListe). The report file is handed on to buyers: of the connection
//   only the provider's name is kept (never a password, user, server, database
//   or file path), the filter is cut to its first FilterLimit characters (a
//   provision's filter lists every record id), the list number stays whole
//   for the page header.
// - "DieseArbeitsmappe.WriteKopfFuss"(lKopfFuss, nZoom) sets the print scale
//   of the active sheet to nZoom when it lies in 10..400, and with lKopfFuss
//   a page header with the list title ("Holzliste " and the list number, the
//   sheet's name when no number is known) and a footer "Seite n von m".
// - "DieseArbeitsmappe.WriteKundeKopf" and "DieseArbeitsmappe.SetDotFields"
//   take no arguments and change nothing.
// Names are matched ignoring letter case, also with a workbook prefix
// ("Tannbuch.xltx!DieseArbeitsmappe.SetDotFields").
class TemplateMacros
{
public:
    // Property names of SetGlobalVariables.
    static QString connectionProperty();
    static QString filterProperty();
    static QString listNumberProperty();

    // Runs the macro on the workbook and its active sheet. Throws
    // WorkbookError when there is no macro of that name or its arguments do
    // not fit.
    static void run(Workbook &workbook, Worksheet &sheet, const QString &name, const QVariantList &arguments);

    // Characters of the filter a saved report keeps at most.
    static constexpr qsizetype FilterLimit = 1000;

    // What a saved report keeps of the connection text it is given: only
    // "Provider=" and a plain provider name; anything else (a full connection
    // string with server, user or password) is kept as an empty text. The
    // caller reduces the connection string to its provider first.
    static QString storedConnection(const QString &connectionText);
    // What a saved report keeps of the filter: the filter, or its first
    // FilterLimit characters and a note of how long it was.
    static QString storedFilter(const QString &filter);
};

} // namespace tannbuch
