#pragma once

#include "app/TemplatePreview.h"

#include <QString>
#include <QStringList>

namespace tannbuch {

// "tannbuch --preview Ausgabe.pdf Vorlage [Ini-Datei] [--list Liste]": a
// template's report of the demo list, or of a list against the ini's
// connection, printed to a PDF without a window.
namespace PreviewCommand {

// True when the program's first argument asks for a preview.
bool isRequested(const QString &firstArgument);

// The request of the program's arguments (without the program's name,
// "--preview" first), or the German message saying what is wrong with them.
struct Parsed
{
    TemplatePreviewRequest request;
    QString error;
};
Parsed parse(const QStringList &arguments);

// Runs the preview of the arguments on a running QGuiApplication; messages
// and warnings go to standard error. Returns 0 when the PDF is written, 1
// otherwise.
int run(const QStringList &arguments);

} // namespace PreviewCommand

} // namespace tannbuch
