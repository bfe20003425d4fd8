#pragma once

namespace tannbuch {

// The settings that hold for the whole process rather than for one print
// request: how the C library keeps large blocks, that a file-size limit
// surfaces as a failed write, and the locale reports are written in. main
// makes them once before anything else runs; test and benchmark programs
// call the same function so that they run as the program does. Calling it
// again changes nothing. It cannot fail.
void PrepareProcess();

} // namespace tannbuch
