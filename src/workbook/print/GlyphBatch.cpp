#include "GlyphBatch.h"

#include <QFontMetricsF>
#include <QGlyphRun>
#include <QPainter>
#include <QTextLayout>

namespace tannbuch {

namespace {

// Texts kept per font before all are given up and gathered anew: a long
// list's figures are mostly new, and this many cover its repeating texts.
constexpr qsizetype MaxShapes = 16384;

} // namespace

TextShapes::TextShapes(const QFont &font)
    : m_font(font)
{ }

const TextShapes::Shape &TextShapes::shape(const QString &text)
{
    Key key{qHash(text), text};
    const auto known = m_shapes.constFind(key);
    if (known != m_shapes.constEnd())
        return *known;
    if (m_shapes.size() >= MaxShapes)
        m_shapes.clear();

    // Laid out as one line, the way a painter draws a text at a point; the
    // glyphs' places are then moved to count from the baseline.
    QTextLayout layout(text, m_font);
    layout.setCacheEnabled(false);
    layout.beginLayout();
    const QTextLine line = layout.createLine();
    layout.endLayout();
    Shape shape;
    shape.width = QFontMetricsF(m_font).horizontalAdvance(text);
    const QPointF toBaseline(0, -(line.y() + line.ascent()));
    for (const QGlyphRun &run : layout.glyphRuns()) {
        Glyphs glyphs{run.rawFont(), run.glyphIndexes(), run.positions()};
        for (QPointF &p : glyphs.positions)
            p += toBaseline;
        shape.runs.push_back(std::move(glyphs));
    }
    return *m_shapes.insert(std::move(key), std::move(shape));
}

GlyphBatch::Run &GlyphBatch::runOf(const QRawFont &font, const QColor &color)
{
    // Neighbouring cells mostly share font and colour: the last run is
    // tried first.
    if (m_last < m_runs.size() && m_runs[m_last].color == color && m_runs[m_last].font == font)
        return m_runs[m_last];
    for (m_last = 0; m_last < m_runs.size(); ++m_last) {
        if (m_runs[m_last].font == font && m_runs[m_last].color == color)
            return m_runs[m_last];
    }
    m_runs.push_back(Run{font, color, {}, {}});
    return m_runs.back();
}

void GlyphBatch::add(const TextShapes::Shape &shape, const QPointF &origin, const QColor &color, double squeeze)
{
    for (const TextShapes::Glyphs &glyphs : shape.runs) {
        Run &run = runOf(glyphs.font, color);
        run.indexes += glyphs.indexes;
        for (const QPointF &p : glyphs.positions)
            run.positions.append(origin + QPointF(p.x() * squeeze, p.y()));
    }
}

void GlyphBatch::draw(QPainter &painter)
{
    for (const Run &run : m_runs) {
        QGlyphRun glyphs;
        glyphs.setRawFont(run.font);
        glyphs.setGlyphIndexes(run.indexes);
        glyphs.setPositions(run.positions);
        painter.setPen(run.color);
        painter.drawGlyphRun(QPointF(), glyphs);
    }
    m_runs.clear();
}

} // namespace tannbuch
