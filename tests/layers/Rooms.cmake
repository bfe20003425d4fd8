# The order of the layers and of the rooms inside them, read by
# CheckLayers.cmake.

# Each layer and the layers it may include besides itself.
set(layers text db selection workbook report app gui)
set(below_text "")
set(below_db text)
set(below_selection text db)
set(below_workbook text)
set(below_report text db selection workbook)
set(below_app text db selection workbook report)
set(below_gui text db selection workbook report app)

# Each room (a folder inside a layer; the layer's own files are its root
# room, named by the layer) and the rooms of its layer it may include
# besides itself.
#
# The sheet engine: the cell model at the bottom; formulas read cells;
# editing (copying and shifting cells) rewrites formulas; the package reads
# and writes files into and from the model; printing lays out the model with
# the package's style codes and drawings; automation, the objects a report
# drives, sits on top.
set(rooms workbook/cells workbook/formula workbook/editing workbook/package workbook/print
  workbook/automation report report/common report/totals report/head report/single report/condensed
  report/driver)
set(room_workbook/cells "")
set(room_workbook/formula workbook/cells)
set(room_workbook/editing workbook/cells workbook/formula)
set(room_workbook/package workbook/cells workbook/formula)
set(room_workbook/print workbook/cells workbook/package)
set(room_workbook/automation workbook/cells workbook/formula workbook/editing workbook/package workbook/print)
# The report: the run, its settings and the sheet cursor at the root; what
# the sections share (log rows, their headers and statement) in common;
# totals, statistics and lot summaries in totals; the three sections; the
# driver that runs them.
set(room_report "")
set(room_report/common report)
set(room_report/totals report)
set(room_report/head report report/common)
set(room_report/single report report/common report/totals)
set(room_report/condensed report report/common report/totals)
set(room_report/driver report report/head report/single report/condensed report/totals)
