#include "gui/screening/EditorDialog.h"

#include "gui/screening/CountryListDialog.h"

#include "gui/widgets/MessageBox.h"
#include "gui/widgets/Pictures.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace mv::gui {

EditorDialog::EditorDialog(std::function<std::optional<EditorRefusal>()> verdict, QWidget* parent)
    : QDialog(parent), m_verdict(std::move(verdict)), m_body(new QVBoxLayout),
      m_buttons(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel)) {
    m_buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("btOK"));
    m_buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("btCancel"));
    connect(m_buttons, &QDialogButtonBox::accepted, this, &EditorDialog::confirm);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void EditorDialog::finishLayout() {
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(m_body);
    layout->addStretch();
    layout->addWidget(m_buttons);
}

void EditorDialog::confirm() {
    store();
    if (const std::optional<EditorRefusal> refusal = m_verdict()) {
        MessageBox::error(this, QString::fromStdString(refusal->message));
        if (QWidget* field = fieldWidget(refusal->field)) field->setFocus();
        return;
    }
    accept();
}

QComboBox* conditionBox(int offered, QWidget* parent) {
    auto* box = new QComboBox(parent);
    box->setObjectName(QStringLiteral("cbCondition"));
    for (int i = 0; i < offered; ++i)
        box->addItem(QString::fromUtf8(choiceLabel(i).data(), qsizetype(choiceLabel(i).size())));
    return box;
}

void showCondition(QComboBox* box, std::optional<int> index) {
    box->setCurrentIndex(index && *index < box->count() ? *index : -1);
}

std::optional<int> chosenCondition(const QComboBox* box) {
    if (box->currentIndex() < 0) return std::nullopt;
    return box->currentIndex();
}

QComboBox* suggestionBox(const std::vector<std::string_view>& suggestions, const QString& name,
                         QWidget* parent) {
    auto* box = new QComboBox(parent);
    box->setObjectName(name);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    for (std::string_view s : suggestions)
        box->addItem(QString::fromUtf8(s.data(), qsizetype(s.size())));
    box->setCurrentIndex(-1);
    box->setMinimumWidth(220);
    return box;
}

QString comboText(const QComboBox* box) {
    return box->currentText();
}

MarkChoice::MarkChoice(QWidget* parent)
    : QWidget(parent), m_check(new QRadioButton(QStringLiteral("check mark"), this)),
      m_question(new QRadioButton(QStringLiteral("question mark"), this)) {
    m_check->setObjectName(QStringLiteral("rbCheck"));
    m_question->setObjectName(QStringLiteral("rbQuestion"));
    m_check->setIcon(markIcon(0));
    m_question->setIcon(markIcon(1));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel(QStringLiteral("Mark message with :"), this));
    row->addWidget(m_check);
    row->addWidget(m_question);
    row->addStretch();
    layout->addLayout(row);
    auto* note =
        new QLabel(QStringLiteral("Note: Only messages with a check mark will be deleted."), this);
    layout->addWidget(note);
    m_check->setChecked(true);
}

void MarkChoice::setDeleteMark(bool on) {
    (on ? m_check : m_question)->setChecked(true);
}

bool MarkChoice::deleteMark() const {
    return m_check->isChecked();
}

CountryChooser::CountryChooser(QWidget* parent)
    : QWidget(parent), m_button(new QPushButton(QStringLiteral("Block out a country"), this)),
      m_name(new QLabel(this)) {
    m_button->setObjectName(QStringLiteral("btCountry"));
    m_name->setObjectName(QStringLiteral("lbCountry"));
    QFont bold = m_name->font();
    bold.setBold(true);
    m_name->setFont(bold);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(m_button);
    row->addWidget(m_name, 1);
    connect(m_button, &QPushButton::clicked, this, [this] {
        if (const auto country = pickCountry(this)) emit chosen(*country);
    });
}

void CountryChooser::showChoice(bool buttonShown, const std::string& countryName) {
    m_button->setVisible(buttonShown);
    m_name->setText(QString::fromStdString(countryName));
}

QCheckBox* caseBox(QWidget* parent) {
    auto* box = new QCheckBox(QStringLiteral("&Check if case matters (upper/lower)"), parent);
    box->setObjectName(QStringLiteral("cbCase"));
    return box;
}

} // namespace mv::gui
