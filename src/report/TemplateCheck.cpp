#include "TemplateCheck.h"

#include "report/SettingsSheet.h"
#include "text/ReportLocale.h"
#include "workbook/automation/Application.h"
#include "workbook/automation/BookHandle.h"
#include "workbook/automation/Pictures.h"
#include "workbook/automation/Range.h"
#include "workbook/automation/SheetHandle.h"
#include "workbook/cells/CellAddress.h"
#include "workbook/cells/SheetLimits.h"
#include "workbook/cells/Workbook.h"
#include "workbook/cells/WorkbookError.h"
#include "workbook/print/PrintSetup.h"

#include <QFont>
#include <QFontInfo>
#include <QGuiApplication>
#include <QHash>

#include <algorithm>
#include <climits>
#include <cmath>

namespace tannbuch {

namespace {

const QString ReportSheet = QStringLiteral("Tannbuch");
// The output area a print clears: columns A to Z from StartZeile down.
constexpr int LastClearedColumn = 26;

QString q(const QString &text)
{
    return QStringLiteral("„") + text + QStringLiteral("“");
}

int editDistance(const QString &a, const QString &b)
{
    std::vector<int> row(size_t(b.size()) + 1);
    for (size_t j = 0; j < row.size(); ++j)
        row[j] = int(j);
    for (qsizetype i = 1; i <= a.size(); ++i) {
        int diagonal = row[0];
        row[0] = int(i);
        for (qsizetype j = 1; j <= b.size(); ++j) {
            const int above = row[size_t(j)];
            const int change = a[i - 1].toCaseFolded() == b[j - 1].toCaseFolded() ? 0 : 1;
            row[size_t(j)] = std::min({above + 1, row[size_t(j - 1)] + 1, diagonal + change});
            diagonal = above;
        }
    }
    return row.back();
}

// The known key closest to a mistyped one: at most two edits, and fewer
// for short keys, so that a stray word is not taken for "NA" or "KA".
QString nearestKey(const QString &key, const QStringList &known)
{
    const int allowed = std::min(2, int(key.size()) / 3);
    QString best;
    int bestDistance = allowed + 1;
    for (const QString &candidate : known) {
        const int d = editDistance(key, candidate);
        if (d < bestDistance) {
            best = candidate;
            bestDistance = d;
        }
    }
    return best;
}

// The spelling of a known key as the sheet should show it.
QString spellingOf(const QString &upperKey)
{
    for (const QString &k : SettingKeySpellings()) {
        if (k.toUpper() == upperKey)
            return k;
    }
    return upperKey;
}

// A print substitutes a font it does not have; one of the free fonts made
// to the same widths as the named one changes no line break.
bool sameWidths(const QString &named, const QString &drawn)
{
    static const QHash<QString, QStringList> twins = {
        {QStringLiteral("calibri"), {QStringLiteral("carlito")}},
        {QStringLiteral("cambria"), {QStringLiteral("caladea")}},
        {QStringLiteral("georgia"), {QStringLiteral("gelasio")}},
        {QStringLiteral("arial"),
            {QStringLiteral("liberation sans"), QStringLiteral("arimo"), QStringLiteral("nimbus sans")}},
        {QStringLiteral("helvetica"), {QStringLiteral("liberation sans"), QStringLiteral("nimbus sans")}},
        {QStringLiteral("arial narrow"),
            {QStringLiteral("liberation sans narrow"), QStringLiteral("nimbus sans narrow")}},
        {QStringLiteral("times new roman"),
            {QStringLiteral("liberation serif"), QStringLiteral("tinos"), QStringLiteral("nimbus roman")}},
        {QStringLiteral("courier new"),
            {QStringLiteral("liberation mono"), QStringLiteral("cousine"), QStringLiteral("nimbus mono ps")}},
    };
    return twins.value(named.toLower()).contains(drawn.toLower());
}

// "an a, b; aus c" from (name, on) pairs.
QString onAndOff(const std::vector<std::pair<QString, bool>> &switches)
{
    QStringList on;
    QStringList off;
    for (const auto &[name, isOn] : switches)
        (isOn ? on : off) << name;
    QString text = QStringLiteral("an ") + (on.isEmpty() ? QStringLiteral("nichts") : on.join(QStringLiteral(", ")));
    if (!off.isEmpty())
        text += QStringLiteral("; aus ") + off.join(QStringLiteral(", "));
    return text;
}

QString headerLinesOf(const ReportSettings &s, bool withTexts)
{
    QStringList lines;
    const auto line = [withTexts](const QString &name, const HeaderLine &h) {
        QString text = name + QStringLiteral(" → ") + h.cell;
        if (withTexts)
            text += QLatin1Char(' ') + q(h.text);
        return text;
    };
    for (int k = 1; k <= 8; ++k) {
        if (!s.headerLines[size_t(k)].cell.isEmpty())
            lines << line(QString::number(k), s.headerLines[size_t(k)]);
    }
    if (!s.headerPicture.cell.isEmpty())
        lines << line(QStringLiteral("Bild"), s.headerPicture);
    return lines.isEmpty() ? QStringLiteral("keine") : lines.join(QStringLiteral(", "));
}

class Checker
{
public:
    Checker(TemplateCheck &check, const std::optional<TemplateCheckIni> &ini)
        : m_check(check)
        , m_ini(ini)
    { }

    void run(const QString &path);

private:
    void add(const QString &sheet, int row, const QString &cell, const QString &text)
    {
        m_check.findings.push_back({sheet, row, cell, text});
    }
    void addAtValue(int row, const QString &text) { add(SettingsSheet::name(), row, cellB(row), text); }
    static QString cellB(int row) { return QStringLiteral("B%1").arg(row); }
    // A cell of the settings sheet as it is written there (a print reads it
    // in upper case).
    QString written(int row, int column)
    {
        return m_xl.worksheets(SettingsSheet::name()).cells(row, column).value().trimmed();
    }

    void checkSheets();
    void readSettings();
    void onRow(const SettingsSheet::Row &row, const ReportSettings &settings);
    void checkKey(const SettingsSheet::Row &row);
    void checkWholeNumber(const SettingsSheet::Row &row, const ReportSettings &settings);
    void checkTarget(const SettingsSheet::Row &row, const QString &iniKey);
    void checkPicture(const SettingsSheet::Row &row, const QString &path);
    void checkRowsBelow();
    void checkStartRow();
    void checkHeadCopy();
    void checkPrintNames();
    void checkPrintName(const Worksheet &sheet, const QString &reference, bool titles);
    void checkFonts();
    QString firstContentBelow(int firstRow, int *count);
    void summarize();
    int rowOf(const QString &key) const { return m_rowOfKey.value(key.toUpper()); }

    TemplateCheck &m_check;
    const std::optional<TemplateCheckIni> &m_ini;
    Application m_xl;
    Workbook *m_book = nullptr;
    QHash<QString, int> m_rowOfKey; // the row whose value holds (the last)
    QStringList m_fonts; // "Calibri (gedruckt mit Carlito, gleich breit)"
};

void Checker::run(const QString &path)
{
    m_xl.setLocale(ReportLocale::locale());
    try {
        m_book = &m_xl.addWorkbook(path).workbook();
    } catch (const WorkbookError &e) {
        m_check.failure = e.message();
        return;
    }
    m_check.readable = true;
    if (m_ini && !m_ini->problem.isEmpty())
        add(QString(), 0, QString(), m_ini->problem);
    checkSheets();
    m_check.settings.resetForNewWorkbook();
    try {
        if (m_book->sheet(SettingsSheet::name())) {
            readSettings();
            checkRowsBelow();
        }
        if (m_book->sheet(ReportSheet)) {
            checkStartRow();
            checkHeadCopy();
        }
    } catch (const WorkbookError &e) {
        // What would stop a print stops the check too; it is told, and
        // what was found so far stays.
        add(QString(), 0, QString(), QStringLiteral("Die Vorlage lässt sich nicht ganz lesen: ") + e.message());
    }
    checkPrintNames();
    checkFonts();
    summarize();
    // File-wide findings first, then sheet by sheet, row by row.
    std::stable_sort(m_check.findings.begin(), m_check.findings.end(),
        [](const auto &a, const auto &b) { return std::pair(a.sheet, a.row) < std::pair(b.sheet, b.row); });
}

void Checker::checkSheets()
{
    if (!m_book->sheet(SettingsSheet::name()))
        add(QString(), 0, QString(),
            QStringLiteral("Die Vorlage hat kein Tabellenblatt %1; ein Ausdruck liest keine Einstellungen.")
                .arg(q(SettingsSheet::name())));
    const int report = m_book->sheetIndex(ReportSheet);
    if (report < 0)
        add(QString(), 0, QString(),
            QStringLiteral("Die Vorlage hat kein Tabellenblatt %1, in das der Bericht geschrieben wird.")
                .arg(q(ReportSheet)));
    else if (report > 0)
        add(ReportSheet, 0, QString(),
            QStringLiteral("Das Berichtsblatt ist das %1. Blatt der Vorlage, nicht das erste; vorn steht %2.")
                .arg(report + 1)
                .arg(q(m_book->sheet(0).name())));
}

void Checker::readSettings()
{
    const IniValueReader readIni = m_ini ? m_ini->read : IniValueReader();
    SettingsSheet::read(m_xl.worksheets(SettingsSheet::name()), m_check.settings, readIni,
        [this](const SettingsSheet::Row &row, const ReportSettings &settings) { onRow(row, settings); });
}

void Checker::onRow(const SettingsSheet::Row &row, const ReportSettings &settings)
{
    const SettingKind kind = row.applied.kind;
    if (kind == SettingKind::Ignored) {
        checkKey(row);
        return;
    }
    if (kind != SettingKind::Column) {
        if (const int earlier = m_rowOfKey.value(row.key); earlier > 0)
            add(SettingsSheet::name(), row.row, QStringLiteral("A%1").arg(row.row),
                QStringLiteral("%1 steht schon in Zeile %2; es gilt diese spätere Zeile %3.")
                    .arg(q(spellingOf(row.key)))
                    .arg(earlier)
                    .arg(row.row));
        m_rowOfKey.insert(row.key, row.row);
    }
    if (kind == SettingKind::Switch && row.value != u"0" && row.value != u"1" && !row.value.isEmpty())
        addAtValue(row.row,
            QStringLiteral("Der Schalter %1 hat den Wert %2 und ist damit aus; "
                           "eingeschaltet wird er nur mit 1.")
                .arg(q(spellingOf(row.key)), q(written(row.row, 2))));
    if (kind == SettingKind::WholeNumber16 || kind == SettingKind::WholeNumber32)
        checkWholeNumber(row, settings);
    if (kind == SettingKind::HeaderLine) {
        const QString n = row.key.right(1);
        checkTarget(row, QStringLiteral("Headerline") + n);
    }
    if (kind == SettingKind::HeaderPicture) {
        checkTarget(row, QStringLiteral("Headerpicture1"));
        checkPicture(row, settings.headerPicture.text);
    }
}

void Checker::checkKey(const SettingsSheet::Row &row)
{
    if (row.key.isEmpty())
        return;
    const QString cell = QStringLiteral("A%1").arg(row.row);
    const bool columnLike = row.key.contains(QLatin1Char('.')) && !row.key.startsWith(QStringLiteral("INI."));
    QString suggestion;
    // "LOGS.KKLASSE" or "TL.ZUSTEXT1": a known column behind a table name.
    if (columnLike && ColumnKeys().contains(row.key.section(QLatin1Char('.'), 1, -1)))
        suggestion = row.key.section(QLatin1Char('.'), 1, -1);
    else
        suggestion = nearestKey(row.key, columnLike ? ColumnKeys() : SettingKeySpellings() + ColumnKeys());
    QString text = columnLike
        ? QStringLiteral("Die Spalte %1 kennt das Programm nicht; sie wird nicht gedruckt.").arg(q(written(row.row, 1)))
        : QStringLiteral("Der Schlüssel %1 ist unbekannt; die Zeile wird nicht gelesen.").arg(q(written(row.row, 1)));
    if (!suggestion.isEmpty())
        text += QStringLiteral(" Gemeint ist wohl %1.").arg(q(suggestion));
    add(SettingsSheet::name(), row.row, cell, text);
}

void Checker::checkWholeNumber(const SettingsSheet::Row &row, const ReportSettings &settings)
{
    const QString key = spellingOf(row.key);
    if (!row.applied.stored) {
        const bool is16 = row.applied.kind == SettingKind::WholeNumber16;
        addAtValue(row.row,
            QStringLiteral("Der Wert %1 liegt außerhalb dessen, was %2 fassen kann (%3 bis %4); "
                           "der Schlüssel behält seinen vorigen Wert.")
                .arg(q(written(row.row, 2)), q(key))
                .arg(is16 ? SHRT_MIN : INT_MIN)
                .arg(is16 ? SHRT_MAX : INT_MAX));
        return;
    }
    qsizetype length = 0;
    const double number = LeadingNumber(row.value, &length);
    const double read = std::nearbyint(number);
    if (!row.value.isEmpty() && (length < row.value.size() || read != number))
        addAtValue(
            row.row, QStringLiteral("%1 liest den Wert %2 als %3.").arg(q(key), q(written(row.row, 2))).arg(read));
    if (row.key == u"EINZSORT" && (settings.EinzSort < 1 || settings.EinzSort > 6))
        addAtValue(row.row, QStringLiteral("EinzSort %1 ist keine der Sortierungen 1 bis 6.").arg(settings.EinzSort));
}

void Checker::checkTarget(const SettingsSheet::Row &row, const QString &iniKey)
{
    const QString key = spellingOf(row.key);
    if (row.value.isEmpty()) {
        addAtValue(
            row.row, QStringLiteral("%1 nennt keine Zielzelle; die Kopfzeile wird nicht geschrieben.").arg(q(key)));
    } else {
        try {
            if (!CellAddress::parse(row.value).isSingleCell())
                addAtValue(row.row,
                    QStringLiteral("Das Ziel %1 von %2 ist keine einzelne Zelle.").arg(q(written(row.row, 2)), q(key)));
        } catch (const WorkbookError &) {
            // The print would stop at this address.
            addAtValue(row.row,
                QStringLiteral("Das Ziel %1 von %2 ist keine Zelladresse; der Ausdruck bricht dort ab.")
                    .arg(q(written(row.row, 2)), q(key)));
        }
    }
    if (m_ini && m_ini->problem.isEmpty() && m_ini->read && m_ini->read(iniKey).isEmpty())
        addAtValue(
            row.row, QStringLiteral("Die ini-Datei nennt keinen Wert für %1; %2 bleibt leer.").arg(iniKey, q(key)));
}

void Checker::checkPicture(const SettingsSheet::Row &row, const QString &path)
{
    if (!m_ini || path.isEmpty())
        return;
    // The picture goes into a scratch workbook the way a print inserts it,
    // with the same limits and messages; the template stays untouched.
    Application scratch;
    try {
        scratch.addWorkbook();
        scratch.activeSheet().pictures().insert(path);
    } catch (const WorkbookError &e) {
        // The print would stop here with this message.
        QString message = e.message();
        if (!message.endsWith(QLatin1Char('.')))
            message += QLatin1Char('.');
        addAtValue(row.row,
            QStringLiteral("Kopfbild (Headerpicture1 der ini-Datei): %1 Der Ausdruck bricht beim Einfügen ab.")
                .arg(message));
    }
}

void Checker::checkRowsBelow()
{
    const Worksheet &sheet = *m_book->sheet(SettingsSheet::name());
    const SheetHandle handle = m_xl.worksheets(SettingsSheet::name());
    for (auto it = sheet.rows().upper_bound(SettingsSheet::LastRow); it != sheet.rows().end(); ++it) {
        for (const Cell &cell : it->second.cells) {
            if (handle.cells(it->first, cell.column).value().trimmed().isEmpty())
                continue;
            add(SettingsSheet::name(), it->first, CellAddress::cellName(it->first, cell.column),
                QStringLiteral("Zeile %1 wird nicht gelesen: gelesen werden nur die Zeilen %2 bis %3.")
                    .arg(it->first)
                    .arg(SettingsSheet::FirstRow)
                    .arg(SettingsSheet::LastRow));
            break;
        }
    }
}

// The first cell of the report sheet from firstRow down in the columns a
// print clears that holds something, and how many do.
QString Checker::firstContentBelow(int firstRow, int *count)
{
    const Worksheet &sheet = *m_book->sheet(ReportSheet);
    const SheetHandle handle = m_xl.worksheets(ReportSheet);
    QString first;
    *count = 0;
    for (auto it = sheet.rows().lower_bound(firstRow); it != sheet.rows().end(); ++it) {
        for (const Cell &cell : it->second.cells) {
            if (cell.column > LastClearedColumn || handle.cells(it->first, cell.column).value().isEmpty())
                continue;
            if (first.isEmpty())
                first = CellAddress::cellName(it->first, cell.column);
            ++*count;
        }
    }
    return first;
}

void Checker::checkStartRow()
{
    const int start = m_check.settings.StartZeile;
    const int row = rowOf(QStringLiteral("StartZeile"));
    if (start < 1) {
        add(SettingsSheet::name(), row, row > 0 ? cellB(row) : QString(),
            QStringLiteral("StartZeile ist %1; ein Ausdruck braucht eine Startzeile ab 1 und bricht ab.").arg(start));
        return;
    }
    int count = 0;
    const QString first = firstContentBelow(start, &count);
    if (!first.isEmpty())
        add(SettingsSheet::name(), row, row > 0 ? cellB(row) : QString(),
            QStringLiteral("StartZeile %1 liegt im Inhalt der Vorlage: ab %2!%3 %4, die jeder Ausdruck löscht.")
                .arg(start)
                .arg(ReportSheet, first)
                .arg(count == 1 ? QStringLiteral("steht 1 Zelle") : QStringLiteral("stehen %1 Zellen").arg(count)));
}

void Checker::checkHeadCopy()
{
    const ReportSettings &s = m_check.settings;
    if (s.StartZeile < 1 && s.KopfKopieEnd == 0)
        return; // told with StartZeile
    // The defaults a lot-by-lot print puts in for 0.
    const int first = s.KopfKopieStart == 0 ? 1 : s.KopfKopieStart;
    const int last = s.KopfKopieEnd == 0 ? s.StartZeile - 1 : s.KopfKopieEnd;
    const int startRow = rowOf(QStringLiteral("KopfKopieStart"));
    const int endRow = rowOf(QStringLiteral("KopfKopieEnd"));
    const auto at = [&](int row, const QString &text) {
        add(SettingsSheet::name(), row, row > 0 ? cellB(row) : QString(), text);
    };
    for (const auto &[value, row] : {std::pair{first, startRow}, std::pair{last, endRow}}) {
        if (value < 1 || value > SheetLimits::MaxRows) {
            at(row,
                QStringLiteral("Die Kopfkopie Zeilen %1 bis %2 liegt außerhalb des Blatts (Zeilen 1 bis %3).")
                    .arg(first)
                    .arg(last)
                    .arg(SheetLimits::MaxRows));
            return;
        }
    }
    if (first > last)
        at(startRow,
            QStringLiteral("KopfKopieStart %1 liegt hinter KopfKopieEnd %2: die Zeilen sind vertauscht.")
                .arg(first)
                .arg(last));
    else if (s.StartZeile >= 1 && last >= s.StartZeile)
        at(endRow,
            QStringLiteral("Die Kopfkopie bis Zeile %1 reicht in die Ausgabe ab StartZeile %2; über jedes "
                           "weitere Los kämen Zeilen des Berichts.")
                .arg(last)
                .arg(s.StartZeile));
}

void Checker::checkPrintNames()
{
    for (int i = 0; i < m_book->sheetCount(); ++i) {
        const Worksheet &sheet = m_book->sheet(i);
        for (const QString &area : sheet.templatePrintFormat().printAreas)
            checkPrintName(sheet, area, false);
        for (const QString &titles : sheet.templatePrintFormat().printTitles)
            checkPrintName(sheet, titles, true);
    }
}

void Checker::checkPrintName(const Worksheet &sheet, const QString &reference, bool titles)
{
    for (const QString &part : reference.split(QLatin1Char(','))) {
        const int bang = part.lastIndexOf(QLatin1Char('!'));
        QString named = bang >= 0 ? part.left(bang).trimmed() : sheet.name();
        if (named.startsWith(QLatin1Char('\'')) && named.endsWith(QLatin1Char('\'')) && named.size() >= 2)
            named = named.mid(1, named.size() - 2).replace(QStringLiteral("''"), QStringLiteral("'"));
        if (PrintSetup::parseReference(part).firstRow > 0 && named.compare(sheet.name(), Qt::CaseInsensitive) == 0)
            continue;
        add(sheet.name(), 0, QString(),
            titles ? QStringLiteral("Die Drucktitel %1 zeigen nicht auf Zeilen oder Spalten dieses Blatts; "
                                    "es wird nichts auf jeder Seite wiederholt.")
                         .arg(q(reference))
                   : QStringLiteral("Der Druckbereich %1 zeigt nicht auf Zellen dieses Blatts; gedruckt wird "
                                    "der benutzte Bereich.")
                         .arg(q(reference)));
        return;
    }
}

void Checker::checkFonts()
{
    QStringList families{m_book->resolve(0).fontName};
    for (const ResolvedStyle &style : m_book->baseStyles()) {
        if (!families.contains(style.fontName, Qt::CaseInsensitive))
            families << style.fontName;
    }
    // Which font draws a family only a graphical application can say.
    if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        return;
    for (const QString &family : families) {
        // The family without the foundry some systems add ("Z003 [urw]").
        const QString drawn = QFontInfo(QFont(family)).family().section(QStringLiteral(" ["), 0, 0);
        if (drawn.compare(family, Qt::CaseInsensitive) == 0) {
            m_fonts << family;
        } else if (sameWidths(family, drawn)) {
            m_fonts << QStringLiteral("%1 (gedruckt mit %2, gleich breit)").arg(family, drawn);
        } else {
            m_fonts << QStringLiteral("%1 (gedruckt mit %2)").arg(family, drawn);
            add(QString(), 0, QString(),
                QStringLiteral("Die Schrift %1 ist nicht vorhanden; gedruckt wird mit %2, Zeilen und Spalten können "
                               "anders umbrechen.")
                    .arg(q(family), q(drawn)));
        }
    }
}

void Checker::summarize()
{
    const ReportSettings &s = m_check.settings;
    QStringList &out = m_check.summary;
    out << QStringLiteral("Zusammenfassung:");
    out << QStringLiteral("Teile: ")
            + onAndOff(
                {{QStringLiteral("lEinzeln"), s.lEinzeln != 0}, {QStringLiteral("lVerdichtet"), s.lVerdichtet != 0},
                    {QStringLiteral("lZuerstVerdichtet"), s.lZuerstVerdichtet != 0},
                    {QStringLiteral("lStatistik"), s.lStatistik}, {QStringLiteral("lProzent"), s.lProzent},
                    {QStringLiteral("lDMSZ"), s.lDMSZ},
                    {QStringLiteral("lHolzsorteLangBeiVerdichtung"), s.lHolzsorteLangBeiVerdichtung},
                    {QStringLiteral("lHöhen"), s.lHoehen}, {QStringLiteral("lPolterKoordinaten"), s.lPolterKoordinaten},
                    {QStringLiteral("lLosweise"), s.lLosweise != 0}, {QStringLiteral("lGesamt"), s.lGesamt},
                    {QStringLiteral("lKubGesamt"), s.lKubGesamt}, {QStringLiteral("lSofortDruck"), s.lSofortDruck != 0},
                    {QStringLiteral("lKopfFuss"), s.lKopfFuss}});
    std::vector<std::pair<QString, bool>> head = {{QStringLiteral("lZusKopf"), s.lZusKopf},
        {QStringLiteral("lZInfo"), s.lZInfo}, {QStringLiteral("lWagNrStammbemerkung"), s.lWagNrStammbemerkung},
        {QStringLiteral("lVerkaufsart"), s.lVerkaufsart}, {QStringLiteral("lWaldortLang"), s.lWaldortLang},
        {QStringLiteral("lLeereKopfzeilen"), s.lLeereKopfzeilen}};
    for (int n = 0; n <= 8; ++n) {
        if (s.lAdresse[size_t(n)])
            head.emplace_back(QStringLiteral("lAdresse(%1)").arg(n), true);
    }
    for (int n = 1; n <= 10; ++n) {
        if (s.lReltable[size_t(n)])
            head.emplace_back(QStringLiteral("lReltable(%1)").arg(n), true);
    }
    out << QStringLiteral("Kopfblock: ") + onAndOff(head) + QStringLiteral("; lAdressformat ") + s.lAdressformat;
    out << QStringLiteral("Kopfzeilen: ") + headerLinesOf(s, m_ini.has_value());
    out << QStringLiteral("Ausgabe ab Zeile %1 (StartZeile); KopfKopieStart %2, KopfKopieEnd %3; SpaltenBreite %4; "
                          "nZoom %5; EinzSort %6; LetztenTage %7")
               .arg(s.StartZeile)
               .arg(s.KopfKopieStart)
               .arg(s.KopfKopieEnd)
               .arg(s.SpaltenBreite)
               .arg(s.nZoom)
               .arg(s.EinzSort)
               .arg(s.LetztenTage);
    QStringList columns;
    // Entry i of the column list goes to the column after J plus i.
    for (int i = 1; i < s.columnListUpperBound(); ++i) {
        const ColumnEntry &c = s.columnList[size_t(i)];
        columns << QStringLiteral("%1 %2 (%3)").arg(CellAddress::columnLetters(10 + i + 1), q(c.caption), c.expression);
    }
    out << QStringLiteral("Spalten des Einzelteils: ")
            + (columns.isEmpty() ? QStringLiteral("keine") : columns.join(QStringLiteral(", ")));
    if (!m_fonts.isEmpty())
        out << QStringLiteral("Schriften: ") + m_fonts.join(QStringLiteral(", "));
}

} // namespace

TemplateCheck CheckTemplate(const QString &path, const std::optional<TemplateCheckIni> &ini)
{
    TemplateCheck check;
    Checker(check, ini).run(path);
    return check;
}

QString FindingLine(const TemplateFinding &finding)
{
    QStringList where;
    if (!finding.sheet.isEmpty())
        where << QStringLiteral("Blatt %1").arg(finding.sheet);
    if (finding.row > 0)
        where << QStringLiteral("Zeile %1").arg(finding.row);
    if (!finding.cell.isEmpty())
        where << QStringLiteral("Zelle %1").arg(finding.cell);
    if (where.isEmpty())
        where << QStringLiteral("Vorlage");
    return where.join(QStringLiteral(", ")) + QStringLiteral(": ") + finding.text;
}

QString TemplateCheckText(const TemplateCheck &check)
{
    if (!check.readable)
        return check.failure + QLatin1Char('\n');
    QString text;
    if (check.findings.empty())
        text = QStringLiteral("Keine Auffälligkeiten.\n");
    for (const TemplateFinding &finding : check.findings)
        text += FindingLine(finding) + QLatin1Char('\n');
    text += QLatin1Char('\n');
    for (const QString &line : check.summary)
        text += line + QLatin1Char('\n');
    return text;
}

} // namespace tannbuch
