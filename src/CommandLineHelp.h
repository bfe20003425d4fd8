#pragma once

#include <QString>

namespace tannbuch {

// The answers the program gives without starting: the usage text for
// "--help" and "-h", name and version for "--version".
namespace CommandLineHelp {

enum class Request { None, Help, Version };

// Help or version when the whole command line is exactly one of the words;
// anything else (the host's "|"-separated fields among them) is None.
Request requestOf(const QString &commandLine);

// The short German usage text: the eight fields, Tannbuch's own ini keys,
// the environment variables and the exit codes.
QString usage();

// Name and version, and where Qt's own texts come from (qtTexts: the file
// loaded for the user's language, or empty when there is none).
QString version(const QString &qtTexts);

// The exit code of an interactive start that finds no display.
constexpr int ExitNoDisplay = 2;

// What such a start says.
QString noDisplayMessage();

} // namespace CommandLineHelp

} // namespace tannbuch
