#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QVariant>

namespace tannbuch {

struct TemplatePackage;

// The custom document properties part: the values the report hands to the
// template, each under its name.
class CustomPropertiesPart
{
public:
    // The part holding the properties in the order of their names. A property
    // the template has keeps the template's value type (and, unchanged, its
    // text as read); the others get the type their kind of value calls for.
    // Does not fail.
    static QByteArray build(const QMap<QString, QVariant> &properties, const TemplatePackage &package);
};

} // namespace tannbuch
