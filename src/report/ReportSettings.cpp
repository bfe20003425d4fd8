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

// A table of settings keyed by the upper case of their spelling on the sheet.
template <typename Field> using KeyTable = QHash<QString, std::pair<QString, Field>>;

template <typename Field> KeyTable<Field> keyTable(std::initializer_list<std::pair<QString, Field>> entries)
{
    KeyTable<Field> table;
    for (const auto &entry : entries)
        table.insert(entry.first.toUpper(), entry);
    return table;
}

// Settings whose value is a switch, by upper-case key.
const KeyTable<bool ReportSettings::*> &switchKeys()
{
    static const auto table = keyTable<bool ReportSettings::*>({
        {QStringLiteral("lKopfFuss"), &ReportSettings::lKopfFuss},
        {QStringLiteral("lZusKopf"), &ReportSettings::lZusKopf},
        {QStringLiteral("lZInfo"), &ReportSettings::lZInfo},
        {QStringLiteral("lWagNrStammbemerkung"), &ReportSettings::lWagNrStammbemerkung},
        {QStringLiteral("lStatistik"), &ReportSettings::lStatistik},
        {QStringLiteral("lGesamt"), &ReportSettings::lGesamt},
        {QStringLiteral("lProzent"), &ReportSettings::lProzent},
        {QStringLiteral("lKubGesamt"), &ReportSettings::lKubGesamt},
        {QStringLiteral("lDMSZ"), &ReportSettings::lDMSZ},
        {QStringLiteral("lWaldortLang"), &ReportSettings::lWaldortLang},
        {QStringLiteral("lHöhen"), &ReportSettings::lHoehen},
        {QStringLiteral("lLeereKopfzeilen"), &ReportSettings::lLeereKopfzeilen},
        {QStringLiteral("lPolterKoordinaten"), &ReportSettings::lPolterKoordinaten},
        {QStringLiteral("lHolzsorteLangBeiVerdichtung"), &ReportSettings::lHolzsorteLangBeiVerdichtung},
        {QStringLiteral("lVerkaufsart"), &ReportSettings::lVerkaufsart},
    });
    return table;
}

const KeyTable<qint32 ReportSettings::*> &wholeNumberKeys()
{
    static const auto table = keyTable<qint32 ReportSettings::*>({
        {QStringLiteral("LetztenTage"), &ReportSettings::LetztenTage},
        {QStringLiteral("StartZeile"), &ReportSettings::StartZeile},
        {QStringLiteral("KopfKopieStart"), &ReportSettings::KopfKopieStart},
        {QStringLiteral("KopfKopieEnd"), &ReportSettings::KopfKopieEnd},
        {QStringLiteral("SpaltenBreite"), &ReportSettings::SpaltenBreite},
    });
    return table;
}

const KeyTable<qint16 ReportSettings::*> &shortNumberKeys()
{
    static const auto table = keyTable<qint16 ReportSettings::*>({
        {QStringLiteral("nZoom"), &ReportSettings::nZoom},
        {QStringLiteral("EinzSort"), &ReportSettings::EinzSort},
        {QStringLiteral("lEinzeln"), &ReportSettings::lEinzeln},
        {QStringLiteral("lVerdichtet"), &ReportSettings::lVerdichtet},
        {QStringLiteral("lLosweise"), &ReportSettings::lLosweise},
        {QStringLiteral("lSofortDruck"), &ReportSettings::lSofortDruck},
        {QStringLiteral("lZuerstVerdichtet"), &ReportSettings::lZuerstVerdichtet},
    });
    return table;
}

const QString AddressFormatKey = QStringLiteral("lAdressformat");

bool *switchField(ReportSettings &s, const QString &key)
{
    const auto it = switchKeys().constFind(key);
    if (it != switchKeys().constEnd())
        return &(s.*(it->second));
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

// Applies a setting key; Ignored when the key is none.
SettingApplied applySettingKey(ReportSettings &s, const QString &key, const QString &value)
{
    if (bool *field = switchField(s, key)) {
        *field = isSwitchOn(value);
        return {SettingKind::Switch, true};
    }
    if (const auto it = wholeNumberKeys().constFind(key); it != wholeNumberKeys().constEnd())
        return {SettingKind::WholeNumber32, storeWhole(s.*(it->second), value)};
    if (const auto it = shortNumberKeys().constFind(key); it != shortNumberKeys().constEnd())
        return {SettingKind::WholeNumber16, storeWhole(s.*(it->second), value)};
    if (key == AddressFormatKey.toUpper()) {
        s.lAdressformat = value;
        return {SettingKind::Text, true};
    }
    return {};
}

} // namespace

void ReportSettings::resetForNewWorkbook()
{
    lAdressformat = QStringLiteral("1");
    columnList.assign(2, ColumnEntry());
}

double LeadingNumber(const QString &text, qsizetype *length)
{
    // Sign, digits, one decimal point and an exponent, as far as they go.
    const QString t = text.trimmed();
    qsizetype i = 0;
    QString number;
    if (length)
        *length = 0;
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
        if (expDigits) {
            number += exponent;
            i = j;
        }
    }
    bool ok = false;
    const double v = number.toDouble(&ok);
    if (!ok || !std::isfinite(v))
        return 0.0;
    if (length)
        *length = i;
    return v;
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

const QStringList &ColumnKeys()
{
    return columnKeys();
}

QStringList SettingKeySpellings()
{
    QStringList keys;
    const auto add = [&keys](const auto &table) {
        for (const auto &entry : table)
            keys << entry.first;
    };
    add(switchKeys());
    add(wholeNumberKeys());
    add(shortNumberKeys());
    for (int n = 1; n <= 10; ++n)
        keys << QStringLiteral("lReltable(%1)").arg(n);
    for (int n = 0; n <= 8; ++n)
        keys << QStringLiteral("lAdresse(%1)").arg(n);
    keys << AddressFormatKey;
    for (int k = 1; k <= 8; ++k)
        keys << QStringLiteral("ini.headerline%1").arg(k);
    keys << QStringLiteral("ini.headerpicture1");
    keys.sort(Qt::CaseInsensitive);
    return keys;
}

SettingApplied ApplySetting(
    ReportSettings &settings, const QString &key, const QString &value, const IniValueReader &readIni)
{
    if (const SettingApplied applied = applySettingKey(settings, key, value); applied.kind != SettingKind::Ignored)
        return applied;

    const QString expression = ColumnExpression(key);
    if (!expression.isEmpty()) {
        ColumnEntry &entry = settings.columnList.back();
        entry.caption = value;
        entry.expression = expression;
        settings.columnList.emplace_back();
        return {SettingKind::Column, true};
    }

    for (int k = 1; k <= 8; ++k) {
        if (key == QStringLiteral("INI.HEADERLINE%1").arg(k)) {
            settings.headerLines[size_t(k)].text = readIni ? readIni(QStringLiteral("Headerline%1").arg(k)) : QString();
            settings.headerLines[size_t(k)].cell = value;
            return {SettingKind::HeaderLine, true};
        }
    }
    if (key == QStringLiteral("INI.HEADERPICTURE1")) {
        settings.headerPicture.text = readIni ? readIni(QStringLiteral("Headerpicture1")) : QString();
        settings.headerPicture.cell = value;
        return {SettingKind::HeaderPicture, true};
    }
    return {};
}

} // namespace tannbuch
