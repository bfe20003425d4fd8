#pragma once

#include <QColor>
#include <QFont>
#include <QHash>
#include <QList>
#include <QPointF>
#include <QRawFont>
#include <QString>

#include <vector>

class QPainter;

namespace tannbuch {

// The texts of one font, each laid out once: its glyphs with their places
// from the start of its baseline, and its width. A report shows the same
// wood types, grades and figures thousands of times; laying each out once
// is what keeps a long list's pages quick. Never throws.
class TextShapes
{
public:
    // The glyphs a text takes from one font (a text falling back to other
    // fonts for some letters has several).
    struct Glyphs
    {
        QRawFont font;
        QList<quint32> indexes;
        QList<QPointF> positions;
    };
    struct Shape
    {
        std::vector<Glyphs> runs;
        double width = 0;
    };

    // The font as made for the device the texts are drawn on (QFont's
    // constructor with a paint device), so it carries that resolution.
    explicit TextShapes(const QFont &font);

    // The shape of a text, laid out on first use.
    const Shape &shape(const QString &text);

private:
    // A text with its hash, which is compared first: most texts looked up
    // differ from the ones met on the way in their hash alone.
    struct Key
    {
        size_t hash;
        QString text;
        bool operator==(const Key &other) const { return hash == other.hash && text == other.text; }
    };
    friend size_t qHash(const Key &key, size_t seed) { return key.hash ^ seed; }

    QFont m_font;
    QHash<Key, Shape> m_shapes;
};

// Glyphs of many texts gathered by font and colour and drawn together: one
// text drawing call per font and colour instead of one per cell, which in a
// PDF is one text object instead of hundreds. Nothing is drawn until draw().
class GlyphBatch
{
public:
    // Adds a text's glyphs with its baseline starting at `origin`; a squeeze
    // below 1 sets them that much closer together.
    void add(const TextShapes::Shape &shape, const QPointF &origin, const QColor &color, double squeeze = 1.0);
    // Draws everything added in the painter's current state, and forgets it.
    void draw(QPainter &painter);

private:
    struct Run
    {
        QRawFont font;
        QColor color;
        QList<quint32> indexes;
        QList<QPointF> positions;
    };
    Run &runOf(const QRawFont &font, const QColor &color);

    std::vector<Run> m_runs;
    size_t m_last = 0; // the run added to last
};

} // namespace tannbuch
