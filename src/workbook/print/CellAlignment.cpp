#include "CellAlignment.h"

namespace tannbuch {

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

Qt::Alignment verticalAlignment(VAlign align)
{
    switch (align) {
    case VAlign::Top:
    case VAlign::Justify:
        return Qt::AlignTop;
    case VAlign::Center:
    case VAlign::Distributed:
        return Qt::AlignVCenter;
    case VAlign::Bottom:
        break;
    }
    return Qt::AlignBottom;
}

} // namespace tannbuch
