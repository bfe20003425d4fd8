#include "ProcessSetup.h"

#include "text/ReportLocale.h"

#include <malloc.h>

#include <csignal>
#include <mutex>

namespace tannbuch {

namespace {

// With a provision, every statement of a report carries its thousands of
// record ids: a megabyte of text, built and dropped again thousands of
// times. The C library hands out blocks that large as fresh mappings and
// gives them back at once, so each statement pays for its pages anew (half
// the time of a large list by lots). Kept in the heap, they are reused; the
// heap returns its free top once it exceeds 64 MB.
void keepStatementBuffersInHeap()
{
    mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 64 * 1024 * 1024);
}

} // namespace

void PrepareProcess()
{
    static std::once_flag prepared;
    std::call_once(prepared, [] {
        keepStatementBuffersInHeap();
        // A file-size limit is reported as a failed write of the workbook or
        // the PDF rather than ending the program (the default of the signal
        // it raises).
        std::signal(SIGXFSZ, SIG_IGN);
        // The locale of the reports is decided once, from the system the
        // program started on, not anew by each number it writes.
        ReportLocale::setLocale(ReportLocale::locale());
    });
}

} // namespace tannbuch
