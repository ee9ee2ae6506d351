#include "gui/screening/CountryListDialog.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace mv::gui {

CountryListDialog::CountryListDialog(QWidget* parent)
    : QDialog(parent), m_list(new QTreeWidget(this)) {
    setObjectName(QStringLiteral("TfrmInternet"));
    setWindowTitle(QStringLiteral("Internet WWW Country Suffixes"));
    m_list->setObjectName(QStringLiteral("TabListBox1"));
    m_list->setRootIsDecorated(false);
    m_list->setHeaderLabels({QStringLiteral("Abbreviation"), QStringLiteral("Country")});
    m_list->header()->resizeSection(0, 95);
    for (const std::string& row : countryRows()) {
        const QStringList cells = QString::fromStdString(row).split(QLatin1Char('\t'));
        m_list->addTopLevelItem(new QTreeWidgetItem(cells));
    }
    connect(m_list, &QTreeWidget::itemDoubleClicked, this, &CountryListDialog::take);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("btOK"));
    connect(buttons, &QDialogButtonBox::accepted, this, &CountryListDialog::take);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list);
    auto* note = new QLabel(
        QStringLiteral(
            "You may block e-mail from a particular country by selecting one from the list above."),
        this);
    note->setWordWrap(true);
    layout->addWidget(note);
    layout->addWidget(buttons);
    resize(360, 420);
}

void CountryListDialog::take() {
    const QModelIndex current = m_list->currentIndex();
    m_choice = chooseCountry(current.isValid() ? current.row() : -1);
    if (m_choice)
        accept();
    else
        reject();
}

std::optional<CountryChoice> pickCountry(QWidget* parent) {
    CountryListDialog dialog(parent);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.choice();
}

} // namespace mv::gui
