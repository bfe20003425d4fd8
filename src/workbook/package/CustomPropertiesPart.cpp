#include "CustomPropertiesPart.h"

#include "workbook/package/OoxmlNames.h"
#include "workbook/package/TemplatePackage.h"
#include "workbook/package/XmlText.h"

#include <QDateTime>

#include <cmath>
#include <limits>

namespace tannbuch {

namespace {

// The text of value in the template's value type kind ("i8", "lpstr", ...);
// false when the value does not fit that type.
bool textOfKind(const QByteArray &kind, const QVariant &value, QByteArray &text)
{
    struct IntegerRange
    {
        const char *kind;
        qint64 min;
        quint64 max;
    };
    static const IntegerRange integers[] = {{"i1", -128, 127}, {"i2", -32768, 32767},
        {"i4", std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max()},
        {"int", std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max()},
        {"i8", std::numeric_limits<qint64>::min(), quint64(std::numeric_limits<qint64>::max())}, {"ui1", 0, 255},
        {"ui2", 0, 65535}, {"ui4", 0, std::numeric_limits<quint32>::max()},
        {"uint", 0, std::numeric_limits<quint32>::max()}, {"ui8", 0, std::numeric_limits<quint64>::max()}};
    for (const IntegerRange &range : integers) {
        if (kind != range.kind)
            continue;
        bool ok = false;
        const QString s = value.toString().trimmed();
        if (s.startsWith(QLatin1Char('-'))) {
            const qint64 n = s.toLongLong(&ok);
            ok = ok && n >= range.min;
            text = QByteArray::number(n);
        } else {
            const quint64 n = s.toULongLong(&ok);
            ok = ok && n <= range.max;
            text = QByteArray::number(n);
        }
        return ok;
    }
    if (kind == "r4" || kind == "r8") {
        bool ok = false;
        const double d = value.toString().trimmed().toDouble(&ok);
        text = QByteArray::number(d, 'g', kind == "r4" ? 9 : 17);
        return ok && std::isfinite(d);
    }
    if (kind == "bool") {
        const QString s = value.toString().trimmed().toLower();
        if (value.typeId() != QMetaType::Bool && s != QLatin1String("true") && s != QLatin1String("false")
            && s != QLatin1String("1") && s != QLatin1String("0"))
            return false;
        text = value.toBool() ? "true" : "false";
        return true;
    }
    if (kind == "filetime" || kind == "date") {
        const QDateTime when = value.toDateTime();
        text = when.toUTC().toString(Qt::ISODate).toLatin1();
        return when.isValid();
    }
    if (kind == "lpwstr" || kind == "lpstr" || kind == "bstr") {
        XmlText::appendPlain(text, value.toString());
        return true;
    }
    return false;
}

// A property the template has keeps its value type: unchanged, with its text
// as read; changed, in that type when the value fits it. False when the
// value is to be written in a type of its own.
bool appendInTemplateKind(QByteArray &out, const QString &name, const QVariant &value, const TemplatePackage &package)
{
    const auto loaded = package.customPropertyValues.constFind(name);
    if (loaded == package.customPropertyValues.constEnd())
        return false;
    QByteArray text;
    const bool unchanged = package.customProperties.value(name) == value;
    if (unchanged)
        XmlText::appendPlain(text, loaded->text);
    if (!unchanged && !textOfKind(loaded->kind, value, text))
        return false;
    out += "<vt:" + loaded->kind + ">" + text + "</vt:" + loaded->kind + ">";
    return true;
}

// The value in the type its kind of value calls for; text for any other.
void appendValue(QByteArray &out, const QVariant &v)
{
    switch (v.typeId()) {
    case QMetaType::Bool:
        out += v.toBool() ? "<vt:bool>true</vt:bool>" : "<vt:bool>false</vt:bool>";
        break;
    case QMetaType::Int:
    case QMetaType::Short:
    case QMetaType::UShort:
        out += "<vt:i4>" + QByteArray::number(v.toInt()) + "</vt:i4>";
        break;
    case QMetaType::LongLong:
        out += "<vt:i8>" + QByteArray::number(v.toLongLong()) + "</vt:i8>";
        break;
    case QMetaType::UInt:
    case QMetaType::ULongLong:
        out += "<vt:ui8>" + QByteArray::number(v.toULongLong()) + "</vt:ui8>";
        break;
    case QMetaType::Double:
    case QMetaType::Float:
        out += "<vt:r8>" + QByteArray::number(v.toDouble(), 'g', 17) + "</vt:r8>";
        break;
    case QMetaType::QDateTime:
        out += "<vt:filetime>" + v.toDateTime().toUTC().toString(Qt::ISODate).toLatin1() + "</vt:filetime>";
        break;
    default:
        out += "<vt:lpwstr>";
        XmlText::appendPlain(out, v.toString());
        out += "</vt:lpwstr>";
        break;
    }
}

} // namespace

QByteArray CustomPropertiesPart::build(const QMap<QString, QVariant> &properties, const TemplatePackage &package)
{
    QByteArray out = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<Properties xmlns=\"";
    out += Ooxml::CustomPropertiesNs;
    out += "\" xmlns:vt=\"";
    out += Ooxml::DocPropsVTypesNs;
    out += "\">";
    int pid = 2;
    for (auto it = properties.cbegin(); it != properties.cend(); ++it) {
        out += "<property fmtid=\"";
        out += Ooxml::CustomPropertyFormatId;
        out += "\" pid=\"" + QByteArray::number(pid++) + "\" name=\"";
        XmlText::appendAttribute(out, it.key());
        out += "\">";
        if (!appendInTemplateKind(out, it.key(), it.value(), package))
            appendValue(out, it.value());
        out += "</property>";
    }
    out += "</Properties>";
    return out;
}

} // namespace tannbuch
