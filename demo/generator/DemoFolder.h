#pragma once

#include "app/TemplatePreview.h"

#include <QString>

namespace tannbuch {

// Writes the demo a template preview prints into an empty folder: the demo
// database, an ini file naming it (with the header lines and the logo), and
// the number of the demo list. The schema is read from schemaPath. Throws
// GeneratorError when a file cannot be written.
DemoSource writeDemoFolder(const QString &folder, const QString &schemaPath);

} // namespace tannbuch
