#pragma once

#include <QString>
#include <QtGlobal>

enum class CellType : quint8 { Empty, Number, Text, Boolean, Formula, Error };

// One cell of a worksheet. A cell may exist with type Empty to carry a style.
// Numbers and booleans (0 or 1) live in `number`; texts in `text`; an error
// value keeps its code ("#DIV/0!") in `text`. A formula keeps its text with
// the leading "=" in `formula` and the last known result in `number` or
// `text` (cachedType says which: Number, Text, Boolean or Error; Empty when
// unknown).
struct Cell
{
    int column = 0;
    CellType type = CellType::Empty;
    CellType cachedType = CellType::Empty;
    quint32 styleId = 0;
    // The number of the template's shared string the text was loaded from
    // (-1 for none); the writer reuses it while the text is unchanged, so rich
    // text of a template string survives.
    qint32 sharedString = -1;
    double number = 0.0;
    QString text;
    QString formula;

    bool isEmpty() const { return type == CellType::Empty; }
};
