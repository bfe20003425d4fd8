#pragma once

#include <QDialog>
#include <QStringList>

class QListWidget;

namespace tannbuch {

// The modal template choice: a frame "Vorlage wählen:" with the list of
// templates (the first one chosen), "Prüfen …", "OK" and "Abbrechen". OK, a
// double-click and the window's close box take the current entry;
// "Abbrechen" and Escape take none (an empty choice). "Prüfen …" shows what
// the template checker finds in the current entry (read from the template
// folder, with the session's ini file) in a window of its own; the choice
// stays as it is.
class dlgVorlagen : public QDialog
{
    Q_OBJECT

public:
    explicit dlgVorlagen(const QStringList &templates, QWidget *parent = nullptr);

    // Where "Prüfen …" finds the templates and the ini file it reads the
    // header keys with (empty: none).
    void setCheckSource(const QString &templateFolder, const QString &iniPath);

    // The entry current when the dialog closed (or now); empty once cancelled.
    QString choice() const;

    // Shows the dialog modally and returns the choice.
    static QString choose(const QStringList &templates, QWidget *parent = nullptr,
        const QString &templateFolder = QString(), const QString &iniPath = QString());

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    // "Prüfen …": the findings for the current entry, in a window that
    // stays open beside the choice.
    void checkCurrent();

    QListWidget *m_list;
    QString m_templateFolder;
    QString m_iniPath;
    bool m_cancelled = false;
};

} // namespace tannbuch
