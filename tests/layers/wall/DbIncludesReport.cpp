// Compiled with the database layer's include path, which must hold that layer
// and the ones below it, but nothing above: the first two headers are
// found, the last must not be (compiling stops there).

// The layer's own folder.
#include "db/Connection.h"

// A layer below.
#include "text/DateText.h"

// A layer above.
#include "report/ReportRun.h"
