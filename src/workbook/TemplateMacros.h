#pragma once

#include <QString>
#include <QVariantList>

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
//   stores its three texts as custom document properties of the workbook
//   (TannbuchVerbindung, TannbuchFilter, TannbuchListe), so the saved report
//   says what it was made from. Passwords are taken out of the connection
//   text first: the report file is handed on, the password must not be.
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

    // The connection text without its password items (Password=, Pwd=).
    static QString withoutPassword(const QString &connectionString);
};
