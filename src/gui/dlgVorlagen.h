#pragma once

#include <QDialog>
#include <QStringList>

class QListWidget;

namespace tannbuch {

// The modal template choice: a frame "Vorlage wählen:" with the list of
// templates (the first one chosen), "OK" and "Abbrechen". OK, a double-click
// and the window's close box take the current entry; "Abbrechen" and Escape
// take none (an empty choice).
class dlgVorlagen : public QDialog
{
    Q_OBJECT

public:
    explicit dlgVorlagen(const QStringList &templates, QWidget *parent = nullptr);

    // The entry current when the dialog closed (or now); empty once cancelled.
    QString choice() const;

    // Shows the dialog modally and returns the choice.
    static QString choose(const QStringList &templates, QWidget *parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    QListWidget *m_list;
    bool m_cancelled = false;
};

} // namespace tannbuch
