#pragma once

#include <QString>
#include <QStringList>

#include <array>
#include <functional>
#include <vector>

namespace tannbuch {

// One extra column of the single-log section: the caption from the template's
// settings sheet and the SQL expression that feeds it.
struct ColumnEntry
{
    QString caption;
    QString expression;
};

// A header line (or the header picture): text or picture path from the ini
// file, and the cell it goes to.
struct HeaderLine
{
    QString text;
    QString cell;
};

// The report layout options a template carries on its sheet "Einstellungen",
// with the column list of the single-log section and the header lines. Each
// print request runs on a copy of its own, with the request's EinzSort and
// four check-box switches in it.
struct ReportSettings
{
    qint32 LetztenTage = 0;
    qint32 StartZeile = 0;
    qint32 KopfKopieStart = 0;
    qint32 KopfKopieEnd = 0;
    qint32 SpaltenBreite = 0;
    qint16 nZoom = 0;
    bool lKopfFuss = false;
    bool lZusKopf = false;
    bool lZInfo = false;
    bool lWagNrStammbemerkung = false;
    bool lStatistik = false;
    bool lGesamt = false;
    bool lProzent = false;
    bool lKubGesamt = false;
    bool lDMSZ = false;
    bool lWaldortLang = false;
    bool lHoehen = false; // sheet key "lHöhen"
    bool lLeereKopfzeilen = false;
    bool lPolterKoordinaten = false;
    bool lHolzsorteLangBeiVerdichtung = false;
    std::array<bool, 11> lReltable{}; // indexes 1..10 used
    std::array<bool, 9> lAdresse{}; // indexes 0..8
    bool lVerkaufsart = false;
    qint16 EinzSort = 0;
    qint16 lEinzeln = 0;
    qint16 lVerdichtet = 0;
    qint16 lLosweise = 0;
    qint16 lSofortDruck = 0;
    qint16 lZuerstVerdichtet = 0;
    QString lAdressformat;

    std::array<HeaderLine, 9> headerLines; // indexes 1..8 used
    HeaderLine headerPicture;

    // Entry 0 is always empty, so configured columns start at entry 1 (sheet
    // column L); the last entry is the empty one the next column fills.
    std::vector<ColumnEntry> columnList{ColumnEntry(), ColumnEntry()};

    // Upper bound of the column list (its last index).
    int columnListUpperBound() const { return int(columnList.size()) - 1; }

    // The resets made whenever a report workbook is opened: address format
    // "1" and a column list of two empty entries.
    void resetForNewWorkbook();
};

// Reads ini values for the header keys: key -> value.
using IniValueReader = std::function<QString(const QString &key)>;

// What a key of the settings sheet is.
enum class SettingKind {
    Ignored, // no key the program knows (also an empty row)
    Switch, // true exactly for "1"
    WholeNumber32,
    WholeNumber16,
    Text, // lAdressformat
    Column, // an extra column of the single-log section
    HeaderLine, // ini.headerline1 .. ini.headerline8
    HeaderPicture, // ini.headerpicture1
};

// What ApplySetting did with a row: the kind of its key, and whether the
// value was stored (false for a whole number beyond its type's range, which
// leaves the setting as it was).
struct SettingApplied
{
    SettingKind kind = SettingKind::Ignored;
    bool stored = false;
};

// Applies one row of the settings sheet. Key and value arrive trimmed and in
// upper case. A setting key stores its converted value, a column key adds a
// column entry, a header key reads its text from the ini file; anything else
// is ignored. A whole number whose value does not fit keeps its old value.
SettingApplied ApplySetting(
    ReportSettings &settings, const QString &key, const QString &value, const IniValueReader &readIni);

// The SQL expression of a column key (as written on the sheet, upper case);
// empty when the key is no column key.
QString ColumnExpression(const QString &key);

// The column keys, upper case, and the other keys as the settings sheet
// spells them (setting keys and header keys), for telling a mistyped key.
const QStringList &ColumnKeys();
QStringList SettingKeySpellings();

// The numeric value of the leading number of a text (0 when it does not
// start with one), as the settings sheet's whole numbers are read. length
// (when given) gets how many characters of the trimmed text the number took.
double LeadingNumber(const QString &text, qsizetype *length = nullptr);

} // namespace tannbuch
