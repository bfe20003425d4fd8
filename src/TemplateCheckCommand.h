#pragma once

namespace tannbuch {

// "tannbuch --check-template FILE [INI]": checks a template without printing
// and says in German what a print would read differently from how it looks.
namespace TemplateCheckCommand {

// True when the first argument is "--check-template".
bool isRequested(int argc, char *argv[]);

// Runs the check on standard output (a file it cannot read, or a wrong call,
// on standard error). Returns 0 when nothing needs attention, 1 when
// something does, 2 when the template cannot be read at all or the call is
// wrong. Needs no display.
int run(int argc, char *argv[]);

} // namespace TemplateCheckCommand

} // namespace tannbuch
