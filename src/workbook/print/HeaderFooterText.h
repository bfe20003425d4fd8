#pragma once

#include <QColor>
#include <QDateTime>
#include <QString>

#include <array>
#include <vector>

namespace tannbuch {

// A page header or footer in the file's &-code form, broken into its left,
// centre and right parts, each a row of runs of one font, with the fields
// filled in: &P page number, &N number of pages, &D date, &T time, &A sheet
// name, &F file name, &Z the file's folder, && an ampersand. Font codes
// change the runs that follow: &"Name,Style" (a style naming Bold/Fett or
// Italic/Kursiv), a size in points (&12), &B, &I and &U as toggles, &K a
// colour (&KRRGGBB, or a theme colour with its tint, &K04-025). Codes this
// program does not draw (pictures, strike-through, super- and subscript)
// are skipped. Never fails: an unknown code is dropped, a lone & at the end
// too.
class HeaderFooterText
{
public:
    enum Part { Left = 0, Centre, Right };

    struct Run
    {
        QString text;
        QString family;
        double size = 11.0;
        bool bold = false;
        bool italic = false;
        bool underline = false;
        QColor color; // invalid: automatic (black)
    };
    using Line = std::vector<Run>;

    // What the fields stand for on one page.
    struct Fields
    {
        int page = 1;
        int pages = 1;
        QDateTime printed;
        QString sheetName;
        QString fileName;
        QString folder; // the file's folder with a closing separator; empty when unsaved
    };

    // Parses a header or footer code; runs start in the given font.
    static HeaderFooterText parse(const QString &code, const Fields &fields, const QString &family, double size);

    const Line &part(Part p) const { return m_parts[size_t(p)]; }
    bool isEmpty() const;
    // The text of a part without fonts (what a reader of the page sees).
    QString plainText(Part p) const;

private:
    std::array<Line, 3> m_parts;
};

} // namespace tannbuch
