#pragma once

#include "report/TemplateCheck.h"

#include <QString>

namespace tannbuch {

// Checks the template at templatePath as a print of this session would read
// it: with the header texts and picture path of the ini file at iniPath
// (empty: no ini, the header keys are checked for their cells only). An ini
// file that cannot be read is a finding of its own. Never throws.
TemplateCheck CheckTemplateFile(const QString &templatePath, const QString &iniPath);

} // namespace tannbuch
