#include "ReportSettings.h"

#include <QHash>
#include <QStringList>

#include <cmath>
#include <limits>

namespace tannbuch {

namespace {

// The 67 column keys of the single-log section, upper case.
const QStringList &columnKeys()
{
    static const QStringList keys = [] {
        QStringList k = {QStringLiteral("LISTE"), QStringLiteral("LISTDATUM"), QStringLiteral("LISTZUSTXT"),
            QStringLiteral("LISTENART"), QStringLiteral("RINDE_WERT"), QStringLiteral("KUBRM"),
            QStringLiteral("KUBATRO"), QStringLiteral("UFAKT_RM"), QStringLiteral("UFAKT_ATO"),
            QStringLiteral("UFAKT_LUT"), QStringLiteral("UFAKT_STK"), QStringLiteral("ENTRINDUNG"),
            QStringLiteral("RINDEPROZENT"), QStringLiteral("STAPELLANGE"), QStringLiteral("KORREKTUR"),
            QStringLiteral("MSZ"), QStringLiteral("NA"), QStringLiteral("KA"), QStringLiteral("ZUSTXT"),
            QStringLiteral("FARBE"), QStringLiteral("WAGNR"), QStringLiteral("KKLASSE")};
        for (int i = 1; i <= 5; ++i)
            k << QStringLiteral("FREI%1").arg(i);
        k << QStringLiteral("ANGEBOT") << QStringLiteral("MEFVERF") << QStringLiteral("MENGEN") << QStringLiteral("EST")
          << QStringLiteral("ZUGANG") << QStringLiteral("ABGANG") << QStringLiteral("RUCKE") << QStringLiteral("SPALT")
          << QStringLiteral("KUBLUTO") << QStringLiteral("ABGANGSDATUM");
        for (int i = 1; i <= 5; ++i)
            k << QStringLiteral("ZUSTEXT%1").arg(i);
        k << QStringLiteral("COORDINATE1") << QStringLiteral("COORDINATE2") << QStringLiteral("R_PREIS");
        for (int i = 1; i <= 8; ++i)
            k << QStringLiteral("A%1_PREIS").arg(i);
        k << QStringLiteral("TLW.DATUM_VERLADE") << QStringLiteral("TLW.WAGGON_NR") << QStringLiteral("TL.LOS")
          << QStringLiteral("TL.STUCK") << QStringLiteral("TL.KUBATUR") << QStringLiteral("TL.EINGANGS_DATUM")
          << QStringLiteral("TL.Z_TEXT_1") << QStringLiteral("TL.Z_TEXT_2") << QStringLiteral("TL.Z_DATUM_1")
          << QStringLiteral("TL.PID") << QStringLiteral("TL.POLTER") << QStringLiteral("TL.LKW_NR")
          << QStringLiteral("TL.BAHNHOF") << QStringLiteral("TL.LIEFERSCHEIN_NR");
        return k;
    }();
    return keys;
}

// Banker's rounding, as whole numbers are taken from the sheet.
double roundHalfEven(double x)
{
    return std::nearbyint(x);
}

template <typename T> bool storeWhole(T &target, const QString &value)
{
    const double v = roundHalfEven(LeadingNumber(value));
    if (v < double(std::numeric_limits<T>::min()) || v > double(std::numeric_limits<T>::max()))
        return false;
    target = T(v);
    return true;
}

bool isSwitchOn(const QString &value)
{
    return value == QStringLiteral("1");
}

// Settings whose value is a switch, by upper-case key.
bool *switchField(ReportSettings &s, const QString &key)
{
    static const QHash<QString, bool ReportSettings::*> fields = {
        {QStringLiteral("LKOPFFUSS"), &ReportSettings::lKopfFuss},
        {QStringLiteral("LZUSKOPF"), &ReportSettings::lZusKopf},
        {QStringLiteral("LZINFO"), &ReportSettings::lZInfo},
        {QStringLiteral("LWAGNRSTAMMBEMERKUNG"), &ReportSettings::lWagNrStammbemerkung},
        {QStringLiteral("LSTATISTIK"), &ReportSettings::lStatistik},
        {QStringLiteral("LGESAMT"), &ReportSettings::lGesamt},
        {QStringLiteral("LPROZENT"), &ReportSettings::lProzent},
        {QStringLiteral("LKUBGESAMT"), &ReportSettings::lKubGesamt},
        {QStringLiteral("LDMSZ"), &ReportSettings::lDMSZ},
        {QStringLiteral("LWALDORTLANG"), &ReportSettings::lWaldortLang},
        {QStringLiteral("LHÖHEN"), &ReportSettings::lHoehen},
        {QStringLiteral("LLEEREKOPFZEILEN"), &ReportSettings::lLeereKopfzeilen},
        {QStringLiteral("LPOLTERKOORDINATEN"), &ReportSettings::lPolterKoordinaten},
        {QStringLiteral("LHOLZSORTELANGBEIVERDICHTUNG"), &ReportSettings::lHolzsorteLangBeiVerdichtung},
        {QStringLiteral("LVERKAUFSART"), &ReportSettings::lVerkaufsart},
    };
    const auto it = fields.constFind(key);
    if (it != fields.constEnd())
        return &(s.*(it.value()));
    for (int n = 1; n <= 10; ++n) {
        if (key == QStringLiteral("LRELTABLE(%1)").arg(n))
            return &s.lReltable[size_t(n)];
    }
    for (int n = 0; n <= 8; ++n) {
        if (key == QStringLiteral("LADRESSE(%1)").arg(n))
            return &s.lAdresse[size_t(n)];
    }
    return nullptr;
}

// Applies a setting key; false when the key is none.
bool applySettingKey(ReportSettings &s, const QString &key, const QString &value)
{
    if (bool *field = switchField(s, key)) {
        *field = isSwitchOn(value);
        return true;
    }
    static const QHash<QString, qint32 ReportSettings::*> wholeNumbers = {
        {QStringLiteral("LETZTENTAGE"), &ReportSettings::LetztenTage},
        {QStringLiteral("STARTZEILE"), &ReportSettings::StartZeile},
        {QStringLiteral("KOPFKOPIESTART"), &ReportSettings::KopfKopieStart},
        {QStringLiteral("KOPFKOPIEEND"), &ReportSettings::KopfKopieEnd},
        {QStringLiteral("SPALTENBREITE"), &ReportSettings::SpaltenBreite},
    };
    if (const auto it = wholeNumbers.constFind(key); it != wholeNumbers.constEnd()) {
        storeWhole(s.*(it.value()), value);
        return true;
    }
    static const QHash<QString, qint16 ReportSettings::*> shortNumbers = {
        {QStringLiteral("NZOOM"), &ReportSettings::nZoom},
        {QStringLiteral("EINZSORT"), &ReportSettings::EinzSort},
        {QStringLiteral("LEINZELN"), &ReportSettings::lEinzeln},
        {QStringLiteral("LVERDICHTET"), &ReportSettings::lVerdichtet},
        {QStringLiteral("LLOSWEISE"), &ReportSettings::lLosweise},
        {QStringLiteral("LSOFORTDRUCK"), &ReportSettings::lSofortDruck},
        {QStringLiteral("LZUERSTVERDICHTET"), &ReportSettings::lZuerstVerdichtet},
    };
    if (const auto it = shortNumbers.constFind(key); it != shortNumbers.constEnd()) {
        storeWhole(s.*(it.value()), value);
        return true;
    }
    if (key == QStringLiteral("LADRESSFORMAT")) {
        s.lAdressformat = value;
        return true;
    }
    return false;
}

} // namespace

void ReportSettings::resetForNewWorkbook()
{
    lAdressformat = QStringLiteral("1");
    columnList.assign(2, ColumnEntry());
}

double LeadingNumber(const QString &text)
{
    // Sign, digits, one decimal point and an exponent, as far as they go.
    const QString t = text.trimmed();
    qsizetype i = 0;
    QString number;
    if (i < t.size() && (t[i] == QLatin1Char('+') || t[i] == QLatin1Char('-')))
        number += t[i++];
    bool digits = false;
    while (i < t.size() && t[i].isDigit() && t[i].unicode() < 128) {
        number += t[i++];
        digits = true;
    }
    if (i < t.size() && t[i] == QLatin1Char('.')) {
        number += t[i++];
        while (i < t.size() && t[i].isDigit() && t[i].unicode() < 128) {
            number += t[i++];
            digits = true;
        }
    }
    if (!digits)
        return 0.0;
    if (i < t.size() && (t[i] == QLatin1Char('E') || t[i] == QLatin1Char('e'))) {
        QString exponent = QStringLiteral("e");
        qsizetype j = i + 1;
        if (j < t.size() && (t[j] == QLatin1Char('+') || t[j] == QLatin1Char('-')))
            exponent += t[j++];
        bool expDigits = false;
        while (j < t.size() && t[j].isDigit() && t[j].unicode() < 128) {
            exponent += t[j++];
            expDigits = true;
        }
        if (expDigits)
            number += exponent;
    }
    bool ok = false;
    const double v = number.toDouble(&ok);
    return ok && std::isfinite(v) ? v : 0.0;
}

QString ColumnExpression(const QString &key)
{
    if (!columnKeys().contains(key))
        return QString();
    if (key == QStringLiteral("R_PREIS")
        || (key.startsWith(QLatin1Char('A')) && key.endsWith(QStringLiteral("_PREIS"))))
        return QStringLiteral("LOGS_RECH.") + key;
    if (key == QStringLiteral("RINDE_WERT"))
        return QStringLiteral("ISNULL(LOGS.") + key + QStringLiteral(",0)");
    if (key == QStringLiteral("LISTENART") || key == QStringLiteral("ENTRINDUNG")
        || key == QStringLiteral("RINDEPROZENT") || key.startsWith(QStringLiteral("TL."))
        || key.startsWith(QStringLiteral("TLW.")))
        return key;
    return QStringLiteral("LOGS.") + key;
}

void ApplySetting(ReportSettings &settings, const QString &key, const QString &value, const IniValueReader &readIni)
{
    if (applySettingKey(settings, key, value))
        return;

    const QString expression = ColumnExpression(key);
    if (!expression.isEmpty()) {
        ColumnEntry &entry = settings.columnList.back();
        entry.caption = value;
        entry.expression = expression;
        settings.columnList.emplace_back();
        return;
    }

    for (int k = 1; k <= 8; ++k) {
        if (key == QStringLiteral("INI.HEADERLINE%1").arg(k)) {
            settings.headerLines[size_t(k)].text = readIni ? readIni(QStringLiteral("Headerline%1").arg(k)) : QString();
            settings.headerLines[size_t(k)].cell = value;
            return;
        }
    }
    if (key == QStringLiteral("INI.HEADERPICTURE1")) {
        settings.headerPicture.text = readIni ? readIni(QStringLiteral("Headerpicture1")) : QString();
        settings.headerPicture.cell = value;
    }
}

} // namespace tannbuch
