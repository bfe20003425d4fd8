#include "dlgVorlagen.h"

#include <QGroupBox>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

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

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(frame);
    layout->addWidget(ok, 0, Qt::AlignRight);

    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_list, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    m_list->setFocus();
}

QString dlgVorlagen::choice() const
{
    const QListWidgetItem *item = m_list->currentItem();
    return item ? item->text() : QString();
}

// Every way of closing (OK, double-click, close box, Escape) leaves the
// current entry as the choice.
QString dlgVorlagen::choose(const QStringList &templates, QWidget *parent)
{
    dlgVorlagen dialog(templates, parent);
    dialog.exec();
    return dialog.choice();
}
