#include "dlgVorlagen.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace tannbuch {

dlgVorlagen::dlgVorlagen(const QStringList &templates, QWidget *parent)
    : QDialog(parent)
    , m_list(new QListWidget(this))
{
    setObjectName(QStringLiteral("dlgVorlagen"));
    setWindowTitle(QStringLiteral("Vorlage"));
    setModal(true);

    auto *frame = new QGroupBox(QStringLiteral("Vorlage wählen:"), this);
    m_list->setObjectName(QStringLiteral("lbVorlagen"));
    m_list->addItems(templates);
    if (m_list->count() > 0)
        m_list->setCurrentRow(0);
    auto *frameLayout = new QVBoxLayout(frame);
    frameLayout->addWidget(m_list);

    auto *ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("OKButton"));
    ok->setDefault(true);

    auto *cancel = new QPushButton(QStringLiteral("Abbrechen"), this);
    cancel->setObjectName(QStringLiteral("CancelButton"));
    cancel->setAutoDefault(false);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(frame);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);

    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, [this] {
        m_cancelled = true;
        reject();
    });
    connect(m_list, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    m_list->setFocus();
}

QString dlgVorlagen::choice() const
{
    if (m_cancelled)
        return QString();
    const QListWidgetItem *item = m_list->currentItem();
    return item ? item->text() : QString();
}

void dlgVorlagen::keyPressEvent(QKeyEvent *event)
{
    // Escape means "Abbrechen".
    if (event->key() == Qt::Key_Escape)
        m_cancelled = true;
    QDialog::keyPressEvent(event);
}

// OK, double-click and the close box leave the current entry as the choice;
// "Abbrechen" and Escape leave none.
QString dlgVorlagen::choose(const QStringList &templates, QWidget *parent)
{
    dlgVorlagen dialog(templates, parent);
    dialog.exec();
    return dialog.choice();
}

} // namespace tannbuch
