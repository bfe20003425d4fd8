#pragma once

#include "report/ProgramUi.h"

#include <QStringList>

namespace tannbuch::testsupport {

// A program without a window: it keeps the messages and status texts it is
// told and takes the first template offered.
class RecordingUi : public ProgramUi
{
public:
    void showMessage(const QString &text) override { messages << text; }
    QString chooseTemplate(const QStringList &templates) override { return templates.value(0); }
    void showStatus(const QString &text) override { statuses << text; }

    QStringList messages;
    QStringList statuses;
};

} // namespace tannbuch::testsupport
