#include "gui/app/MarkForDeletionDialog.h"

#include "gui/app/DialogButtons.h"

#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

namespace mv::gui {

TfrmMarkForDeletion::TfrmMarkForDeletion(const SpamListChoice& choice, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("TfrmMarkForDeletion"));
    setWindowTitle(QStringLiteral("Mark e-mail for deletion"));
    auto* title = new QLabel(QStringLiteral("Mark these messages to delete"), this);
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);

    auto* table = new QTableWidget(static_cast<int>(choice.rows.size()), 2, this);
    table->setObjectName(QStringLiteral("gridMessages"));
    table->setHorizontalHeaderLabels({QStringLiteral("Subject"), QStringLiteral("From")});
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->verticalHeader()->hide();
    table->horizontalHeader()->setStretchLastSection(true);
    table->setColumnWidth(0, 260);
    for (int i = 0; i < table->rowCount(); ++i) {
        const auto& row = choice.rows[static_cast<std::size_t>(i)];
        table->setItem(i, 0, new QTableWidgetItem(QString::fromStdString(row.subject)));
        table->setItem(i, 1, new QTableWidgetItem(QString::fromStdString(row.sender)));
    }

    m_subjects = new QCheckBox(
        QStringLiteral("Always &delete mail with these particular subject headings"), this);
    m_subjects->setObjectName(QStringLiteral("cbSubjects"));
    m_subjects->setChecked(choice.subjects);
    m_senders =
        new QCheckBox(QStringLiteral("&Always delete mail from these particular senders"), this);
    m_senders->setObjectName(QStringLiteral("cbSenders"));
    m_senders->setChecked(choice.senders);

    auto* buttons = dialogButtons(*this, QDialogButtonBox::Ok | QDialogButtonBox::Cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(title);
    layout->addWidget(table, 1);
    layout->addWidget(m_subjects);
    layout->addWidget(m_senders);
    layout->addWidget(buttons);
    resize(560, 360);
}

void TfrmMarkForDeletion::readInto(SpamListChoice& choice) const {
    choice.subjects = m_subjects->isChecked();
    choice.senders = m_senders->isChecked();
}

} // namespace mv::gui
