#pragma once

#include <QByteArray>
#include <QSet>
#include <QString>

#include <vector>

namespace tannbuch {

// One relationship of a package part: its id, type, target and whether the
// target lies outside the package (a web address).
struct Relationship
{
    QString id;
    QString type;
    QString target;
    bool external = false;

    // True when the type ends in "/" + name ("worksheet", "hyperlink", ...).
    bool isType(const char *name) const;
};

// The relationships of one part (its .rels part), read and written, and the
// part-name arithmetic that goes with them.
class Relationships
{
public:
    // Parses a .rels part; throws WorkbookError when its XML is malformed
    // (partName names it in the message).
    static Relationships parse(const QByteArray &xml, const QString &partName);

    const std::vector<Relationship> &items() const { return m_items; }
    // The relationship with that id, or nullptr.
    const Relationship *find(const QString &id) const;
    // The first relationship of that type, or nullptr.
    const Relationship *findType(const char *name) const;
    // Adds a relationship with a fresh id and returns the id.
    QString add(const QString &type, const QString &target, bool external = false);
    // Removes every relationship of that type.
    void removeType(const char *name);

    // The part's XML. External targets are written as valid URI references:
    // what the URI syntax does not allow there (blanks, quotes, a second "#",
    // a "%" that starts no escape, characters beyond ASCII) is
    // percent-encoded as UTF-8; a target that is valid already is written
    // as it is.
    QByteArray toXml() const;

    // The target as a valid URI reference (see toXml).
    static QByteArray encodedUri(const QString &target);

    // "xl/_rels/workbook.xml.rels" for "xl/workbook.xml"; "_rels/.rels" for "".
    static QString relsPathFor(const QString &partPath);
    // The package path a relative (or "/"-absolute) target of sourcePart names.
    static QString resolve(const QString &sourcePart, const QString &target);
    // The target text that names targetPart from sourcePart ("../media/image1.png").
    static QString relativeTarget(const QString &sourcePart, const QString &targetPart);

private:
    std::vector<Relationship> m_items;
    QSet<QString> m_ids; // the ids taken, so adding stays quick for a sheet with many links
};

} // namespace tannbuch
