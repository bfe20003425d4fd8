#include "dlgVorlagen.h"

#include "app/TemplateCheckFile.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QPlainTextEdit>

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

    auto *check = new QPushButton(QStringLiteral("Prüfen …"), this);
    check->setObjectName(QStringLiteral("PruefenButton"));
    check->setAutoDefault(false);

    auto *ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("OKButton"));
    ok->setDefault(true);

    auto *cancel = new QPushButton(QStringLiteral("Abbrechen"), this);
    cancel->setObjectName(QStringLiteral("CancelButton"));
    cancel->setAutoDefault(false);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(frame);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(check);
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
    connect(check, &QPushButton::clicked, this, &dlgVorlagen::checkCurrent);
    m_list->setFocus();
}

void dlgVorlagen::setCheckSource(const QString &templateFolder, const QString &iniPath)
{
    m_templateFolder = templateFolder;
    m_iniPath = iniPath;
}

void dlgVorlagen::checkCurrent()
{
    const QListWidgetItem *item = m_list->currentItem();
    if (!item)
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const TemplateCheck check = CheckTemplateFile(QDir(m_templateFolder).filePath(item->text()), m_iniPath);
    QApplication::restoreOverrideCursor();

    auto *window = new QDialog(this);
    window->setObjectName(QStringLiteral("dlgPruefen"));
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowTitle(QStringLiteral("Vorlage prüfen: ") + item->text());
    auto *text = new QPlainTextEdit(TemplateCheckText(check), window);
    text->setObjectName(QStringLiteral("txtBefunde"));
    text->setReadOnly(true);
    text->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    auto *close = new QDialogButtonBox(QDialogButtonBox::Close, window);
    close->button(QDialogButtonBox::Close)->setText(QStringLiteral("Schließen"));
    connect(close, &QDialogButtonBox::rejected, window, &QDialog::reject);
    auto *layout = new QVBoxLayout(window);
    layout->addWidget(text);
    layout->addWidget(close);
    window->resize(760, 420);
    window->open();
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
QString dlgVorlagen::choose(
    const QStringList &templates, QWidget *parent, const QString &templateFolder, const QString &iniPath)
{
    dlgVorlagen dialog(templates, parent);
    dialog.setCheckSource(templateFolder, iniPath);
    dialog.exec();
    return dialog.choice();
}

} // namespace tannbuch
