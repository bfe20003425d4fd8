#include "CellAlignment.h"

Qt::Alignment horizontalAlignment(HAlign align, CellType type)
{
    switch (align) {
    case HAlign::Left:
        return Qt::AlignLeft;
    case HAlign::Center:
        return Qt::AlignHCenter;
    case HAlign::Right:
        return Qt::AlignRight;
    case HAlign::General:
        break;
    }
    switch (type) {
    case CellType::Number:
        return Qt::AlignRight;
    case CellType::Boolean:
    case CellType::Error:
        return Qt::AlignHCenter;
    default:
        return Qt::AlignLeft;
    }
}
