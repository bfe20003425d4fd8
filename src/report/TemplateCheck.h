#pragma once

#include "report/ReportSettings.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace tannbuch {

// Something in a template that a print reads differently from how it looks,
// or that a print will trip over: where it is (sheet, row, cell as "B7";
// row 0 and an empty cell for the file or a whole sheet) and what it means,
// in German.
struct TemplateFinding
{
    QString sheet;
    int row = 0;
    QString cell;
    QString text;
};

// What checking a template found: whether the file could be read at all (and
// why not), the findings in the order of the sheets and rows, the settings
// exactly as a print reads them, and a German summary of what the template
// switches on.
struct TemplateCheck
{
    bool readable = false;
    QString failure;
    std::vector<TemplateFinding> findings;
    ReportSettings settings;
    QStringList summary;

    bool needsAttention() const { return !readable || !findings.empty(); }
};

// The ini file of the session, when one is given: how header keys read their
// texts and picture path, and why the file could not be read (empty when it
// could).
struct TemplateCheckIni
{
    IniValueReader read;
    QString problem;
};

// Reads the template at path as a print reads it (the same file reader, the
// same settings sheet loop and ApplySetting) and says what it finds. Without
// an ini the header keys are checked for their target cells only. Changes
// nothing: no file is written, the template stays as it is. Never throws; a
// file that cannot be read gives readable false and the reader's message.
// Fonts are checked only when a QGuiApplication runs.
TemplateCheck CheckTemplate(const QString &path, const std::optional<TemplateCheckIni> &ini = std::nullopt);

// One finding as a line: "Blatt, Zeile, Zelle: text", leaving out what it
// has not.
QString FindingLine(const TemplateFinding &finding);

// The whole answer as text: the failure, or one line per finding (or that
// there is none), a blank line and the summary.
QString TemplateCheckText(const TemplateCheck &check);

} // namespace tannbuch
