#pragma once

#include <QDialog>
#include <QStringList>

class QListWidget;

// The modal template choice: a frame "Vorlage wählen:" with the list of
// templates (the first one chosen) and "OK". However it is closed (OK,
// double-click, the window's close box, Escape), the current entry is the
// choice.
class dlgVorlagen : public QDialog
{
    Q_OBJECT

public:
    explicit dlgVorlagen(const QStringList &templates, QWidget *parent = nullptr);

    // The entry current when the dialog closed (or now).
    QString choice() const;

    // Shows the dialog modally and returns the choice.
    static QString choose(const QStringList &templates, QWidget *parent = nullptr);

private:
    QListWidget *m_list;
};
