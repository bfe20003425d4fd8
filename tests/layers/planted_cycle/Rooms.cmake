# An order that allows every include of the planted rooms, so that only the
# cycle check can find alpha -> beta -> gamma -> alpha (delta leads into it).
include(${CMAKE_CURRENT_LIST_DIR}/../Rooms.cmake)
set(rooms workbook/alpha workbook/beta workbook/gamma workbook/delta)
set(room_workbook/alpha workbook/beta)
set(room_workbook/beta workbook/gamma)
set(room_workbook/gamma workbook/alpha)
set(room_workbook/delta workbook/alpha)
