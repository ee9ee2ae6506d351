#include "gui/screening/RuleEditorDialogs.h"

#include "gui/screening/CountryListDialog.h"
#include "gui/widgets/Pictures.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>

namespace mv::gui {
namespace {

QString qs(std::string_view text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}
std::string text(const QString& s) {
    return s.toStdString();
}

QLabel* label(const QString& caption, QWidget* parent) {
    auto* l = new QLabel(caption, parent);
    l->setWordWrap(true);
    return l;
}

void setComboText(QComboBox* box, const std::string& value) {
    box->setCurrentIndex(-1);
    box->setEditText(qs(value));
}

} // namespace

// --- Subject ---

SubjectEditorDialog::SubjectEditorDialog(SubjectEditor& editor, QWidget* parent)
    : EditorDialog([&editor] { return editor.confirm(); }, parent), m_editor(editor),
      m_condition(conditionBox(kSubjectConditionChoices, this)),
      m_text(suggestionBox(subjectSuggestions(), QStringLiteral("edSubject"), this)),
      m_case(caseBox(this)), m_mark(new MarkChoice(this)) {
    setObjectName(QStringLiteral("TfrmOptionsSubject"));
    setWindowTitle(QStringLiteral("Subject line options"));
    auto* row = new QHBoxLayout;
    row->addWidget(label(QStringLiteral("The subject line:"), this));
    row->addWidget(m_condition);
    row->addWidget(m_text, 1);
    body()->addLayout(row);
    body()->addWidget(m_case);
    body()->addSpacing(8);
    body()->addWidget(m_mark);
    finishLayout();

    showCondition(m_condition, editor.condition);
    setComboText(m_text, editor.text);
    m_case->setChecked(editor.caseMatters);
    m_mark->setDeleteMark(editor.deleteMark);
    showFields();
    connect(m_condition, &QComboBox::currentIndexChanged, this, &SubjectEditorDialog::showFields);
}

void SubjectEditorDialog::showFields() {
    store();
    m_text->setVisible(m_editor.textShown());
    m_case->setVisible(m_editor.textShown());
}

void SubjectEditorDialog::store() {
    m_editor.condition = chosenCondition(m_condition);
    m_editor.text = text(comboText(m_text));
    m_editor.caseMatters = m_case->isChecked();
    m_editor.deleteMark = m_mark->deleteMark();
}

QWidget* SubjectEditorDialog::fieldWidget(EditorField field) {
    return field == EditorField::Text ? static_cast<QWidget*>(m_text) : m_condition;
}

// --- Sender ---

SenderEditorDialog::SenderEditorDialog(SenderEditor& editor, QWidget* parent)
    : EditorDialog([&editor] { return editor.confirm(); }, parent), m_editor(editor),
      m_part(new QComboBox(this)), m_condition(conditionBox(kSenderConditionChoices, this)),
      m_text(suggestionBox(senderSuggestions(), QStringLiteral("edFrom"), this)),
      m_mark(new MarkChoice(this)), m_country(new CountryChooser(this)) {
    setObjectName(QStringLiteral("TfrmOptionsFROM"));
    setWindowTitle(QStringLiteral("Sender characteristics"));
    m_part->setObjectName(QStringLiteral("cbPart"));
    m_part->addItem(qs(SenderEditor::partWord(SenderEditor::Part::EmailAddress)));
    m_part->addItem(qs(SenderEditor::partWord(SenderEditor::Part::DomainName)));

    body()->addWidget(
        label(QStringLiteral("The sender's e-mail/domain address (as viewed on the main screen):"),
              this));
    auto* row = new QHBoxLayout;
    row->addWidget(m_part);
    row->addWidget(m_condition);
    row->addWidget(m_text, 1);
    body()->addLayout(row);
    auto* hints = new QGridLayout;
    hints->addWidget(label(QStringLiteral("Hint:"), this), 0, 0);
    hints->addWidget(label(QStringLiteral("An e-mail address includes the domain."), this), 0, 1);
    hints->addWidget(label(QStringLiteral("The domain is after the @ symbol."), this), 1, 1);
    hints->addWidget(
        label(QStringLiteral("An all numeric sender looks like 4325154@example.com"), this), 2, 1);
    hints->addWidget(
        label(QStringLiteral("A half numeric sender looks like 432ab43@example.com"), this), 3, 1);
    body()->addLayout(hints);
    body()->addWidget(m_country);
    body()->addSpacing(8);
    body()->addWidget(m_mark);
    finishLayout();

    load();
    connect(m_condition, &QComboBox::currentIndexChanged, this, &SenderEditorDialog::showFields);
    connect(m_country, &CountryChooser::chosen, this, &SenderEditorDialog::applyCountry);
}

void SenderEditorDialog::load() {
    m_part->setCurrentIndex(m_editor.part == SenderEditor::Part::EmailAddress ? 0 : 1);
    showCondition(m_condition, m_editor.condition);
    setComboText(m_text, m_editor.text);
    m_mark->setDeleteMark(m_editor.deleteMark);
    m_country->showChoice(m_editor.countryButtonShown, m_editor.countryName);
    showFields();
}

void SenderEditorDialog::applyCountry(const CountryChoice& country) {
    store();
    m_editor.applyCountry(country);
    load();
}

void SenderEditorDialog::showFields() {
    m_editor.condition = chosenCondition(m_condition);
    m_text->setVisible(m_editor.textShown());
}

void SenderEditorDialog::store() {
    m_editor.part = m_part->currentIndex() == 0 ? SenderEditor::Part::EmailAddress
                                                : SenderEditor::Part::DomainName;
    m_editor.condition = chosenCondition(m_condition);
    m_editor.text = text(comboText(m_text));
    m_editor.deleteMark = m_mark->deleteMark();
}

QWidget* SenderEditorDialog::fieldWidget(EditorField field) {
    return field == EditorField::Text ? static_cast<QWidget*>(m_text) : m_condition;
}

// --- Header ---

HeaderEditorDialog::HeaderEditorDialog(HeaderEditor& editor, QWidget* parent)
    : EditorDialog([&editor] { return editor.confirm(); }, parent), m_editor(editor),
      m_toText(new QLineEdit(this)), m_mailbox(new QComboBox(this)), m_toFields(new QWidget(this)),
      m_headerFields(new QWidget(this)), m_condition(conditionBox(kHeaderConditionChoices, this)),
      m_headerText(suggestionBox(headerSuggestions(), QStringLiteral("edHeader"), this)),
      m_case(caseBox(this)), m_mark(new MarkChoice(this)), m_country(new CountryChooser(this)) {
    setObjectName(QStringLiteral("TfrmHeaders"));
    setWindowTitle(QStringLiteral("Header characteristics"));
    const QString captions[] = {
        QStringLiteral("The Sender address does not match the 'Reply-to' address"),
        QStringLiteral("The Sender address equals the 'To' address field"),
        QStringLiteral("The 'To' address does not contain:"), QStringLiteral("Message Header")};
    const char* names[] = {"rbReplyTo", "rbEqualsTo", "rbToNotContain", "rbMessageHeader"};
    m_toText->setObjectName(QStringLiteral("edTo"));
    m_mailbox->setObjectName(QStringLiteral("cbMailbox"));
    for (const std::string& line : editor.mailboxLines())
        m_mailbox->addItem(qs(line));

    auto* toLayout = new QFormLayout(m_toFields);
    toLayout->addRow(m_toText);
    toLayout->addRow(QStringLiteral("For Mailbox:"), m_mailbox);
    auto* headerLayout = new QVBoxLayout(m_headerFields);
    auto* headerRow = new QHBoxLayout;
    headerRow->addWidget(m_condition);
    headerRow->addWidget(m_headerText, 1);
    headerLayout->addLayout(headerRow);
    headerLayout->addWidget(m_case);

    for (int k = 0; k < 4; ++k) {
        m_kinds[k] = new QRadioButton(captions[k], this);
        m_kinds[k]->setObjectName(QLatin1String(names[k]));
        body()->addWidget(m_kinds[k]);
        connect(m_kinds[k], &QRadioButton::toggled, this, &HeaderEditorDialog::showFields);
        if (k == 2) body()->addWidget(m_toFields);
    }
    body()->addWidget(m_headerFields);
    body()->addWidget(m_country);
    body()->addSpacing(8);
    body()->addWidget(m_mark);
    finishLayout();

    load();
    connect(m_country, &CountryChooser::chosen, this, &HeaderEditorDialog::applyCountry);
}

void HeaderEditorDialog::load() {
    m_kinds[static_cast<int>(m_editor.kind)]->setChecked(true);
    m_toText->setText(qs(m_editor.toText));
    m_mailbox->setCurrentIndex(m_editor.mailbox ? int(*m_editor.mailbox) : -1);
    showCondition(m_condition, m_editor.condition);
    setComboText(m_headerText, m_editor.headerText);
    m_case->setChecked(m_editor.caseMatters);
    m_mark->setDeleteMark(m_editor.deleteMark);
    m_country->showChoice(m_editor.countryButtonShown, m_editor.countryName);
    showFields();
}

HeaderEditor::Kind HeaderEditorDialog::chosenKind() const {
    for (int k = 0; k < 4; ++k)
        if (m_kinds[k]->isChecked()) return static_cast<HeaderEditor::Kind>(k);
    return HeaderEditor::Kind::MessageHeader;
}

void HeaderEditorDialog::showFields() {
    const HeaderEditor::Kind kind = chosenKind();
    m_toFields->setVisible(kind == HeaderEditor::Kind::ToDoesNotContain);
    m_headerFields->setVisible(kind == HeaderEditor::Kind::MessageHeader);
}

void HeaderEditorDialog::applyCountry(const CountryChoice& country) {
    store();
    m_editor.applyCountry(country);
    load();
}

void HeaderEditorDialog::store() {
    m_editor.kind = chosenKind();
    m_editor.toText = text(m_toText->text());
    m_editor.mailbox = m_mailbox->currentIndex() >= 0
                           ? std::optional<std::size_t>(std::size_t(m_mailbox->currentIndex()))
                           : std::nullopt;
    m_editor.condition = chosenCondition(m_condition);
    m_editor.headerText = text(comboText(m_headerText));
    m_editor.caseMatters = m_case->isChecked();
    m_editor.deleteMark = m_mark->deleteMark();
}

QWidget* HeaderEditorDialog::fieldWidget(EditorField field) {
    switch (field) {
    case EditorField::HeaderText:
        return m_headerText;
    case EditorField::ToText:
        return m_toText;
    case EditorField::Mailbox:
        return m_mailbox;
    default:
        return m_condition;
    }
}

// --- Exceptions ---

ExceptionEditorDialog::ExceptionEditorDialog(ExceptionEditor& editor, QWidget* parent)
    : EditorDialog([&editor] { return editor.confirm(); }, parent), m_editor(editor),
      m_address(new QLineEdit(this)), m_domain(new QLineEdit(this)),
      m_domainFields(new QWidget(this)), m_fieldFields(new QWidget(this)),
      m_fieldName(new QComboBox(this)), m_condition(conditionBox(kExceptionConditionChoices, this)),
      m_text(new QLineEdit(this)), m_case(caseBox(this)), m_pictures(new QButtonGroup(this)) {
    setObjectName(QStringLiteral("TfrmAlwaysAccept"));
    setWindowTitle(QStringLiteral("Accept e-mail from"));
    m_address->setObjectName(QStringLiteral("edAddress"));
    m_domain->setObjectName(QStringLiteral("edDomain"));
    m_text->setObjectName(QStringLiteral("edText"));
    m_fieldName->setObjectName(QStringLiteral("cbField"));
    for (std::string_view name : ExceptionEditor::fieldNames())
        m_fieldName->addItem(qs(name));

    QFont bold = font();
    bold.setBold(true);
    auto* title = label(QStringLiteral("Always accept e-mail when:"), this);
    title->setFont(bold);
    body()->addWidget(title);

    const QString captions[] = {QStringLiteral("The explicit e-mail address is:"),
                                QStringLiteral("The domain name is:"), QStringLiteral("When the")};
    const char* names[] = {"rbAddress", "rbDomain", "rbField"};
    for (int k = 0; k < 3; ++k) {
        m_kinds[k] = new QRadioButton(captions[k], this);
        m_kinds[k]->setObjectName(QLatin1String(names[k]));
        connect(m_kinds[k], &QRadioButton::toggled, this, &ExceptionEditorDialog::showFields);
    }
    auto* grid = new QGridLayout;
    grid->addWidget(m_kinds[0], 0, 0, Qt::AlignTop);
    grid->addWidget(m_address, 0, 1);
    grid->addWidget(m_kinds[1], 1, 0, Qt::AlignTop);
    auto* domainLayout = new QVBoxLayout(m_domainFields);
    domainLayout->setContentsMargins(0, 0, 0, 0);
    domainLayout->addWidget(m_domain);
    domainLayout->addWidget(
        label(QStringLiteral("The domain is the part after the '@' symbol"), this));
    grid->addWidget(m_domainFields, 1, 1);
    grid->addWidget(m_kinds[2], 2, 0, Qt::AlignTop);
    auto* fieldLayout = new QGridLayout(m_fieldFields);
    fieldLayout->setContentsMargins(0, 0, 0, 0);
    fieldLayout->addWidget(m_fieldName, 0, 0);
    fieldLayout->addWidget(m_condition, 0, 1);
    fieldLayout->addWidget(m_text, 1, 0, 1, 2);
    fieldLayout->addWidget(m_case, 2, 0, 1, 2);
    grid->addWidget(m_fieldFields, 2, 1);
    body()->addLayout(grid);

    body()->addWidget(label(QStringLiteral("Select an image to easily associate an incoming e-mail "
                                           "from a friend or mailing list."),
                            this));
    auto* pictureRow = new QHBoxLayout;
    for (int cell = 0; cell < 12; ++cell) {
        auto* b = new QToolButton(this);
        b->setObjectName(QStringLiteral("picture%1").arg(cell));
        b->setCheckable(true);
        const QIcon icon = markIcon(cell + kPictureFirstException);
        if (icon.pixmap(20).isNull())
            b->setText(QString::number(cell + kPictureFirstException));
        else
            b->setIcon(icon);
        b->setIconSize(QSize(20, 20));
        b->setAccessibleName(QStringLiteral("Picture %1").arg(cell + kPictureFirstException));
        m_pictures->addButton(b, cell);
        pictureRow->addWidget(b);
    }
    pictureRow->addStretch();
    body()->addLayout(pictureRow);
    finishLayout();

    m_kinds[static_cast<int>(editor.kind)]->setChecked(true);
    m_address->setText(qs(editor.address));
    m_domain->setText(qs(editor.domain));
    m_text->setText(qs(editor.text));
    m_fieldName->setCurrentText(qs(editor.fieldName));
    showCondition(m_condition, editor.condition);
    m_case->setChecked(editor.caseMatters);
    if (QAbstractButton* b = m_pictures->button(editor.pictureCell())) b->setChecked(true);
    showFields();
}

ExceptionEditor::Kind ExceptionEditorDialog::chosenKind() const {
    for (int k = 0; k < 3; ++k)
        if (m_kinds[k]->isChecked()) return static_cast<ExceptionEditor::Kind>(k);
    return ExceptionEditor::Kind::Address;
}

QWidget* ExceptionEditorDialog::kindField() const {
    switch (chosenKind()) {
    case ExceptionEditor::Kind::Domain:
        return m_domain;
    case ExceptionEditor::Kind::Field:
        return m_text;
    default:
        return m_address;
    }
}

void ExceptionEditorDialog::showFields() {
    const ExceptionEditor::Kind kind = chosenKind();
    m_address->setVisible(kind == ExceptionEditor::Kind::Address);
    m_domainFields->setVisible(kind == ExceptionEditor::Kind::Domain);
    m_fieldFields->setVisible(kind == ExceptionEditor::Kind::Field);
    kindField()->setFocus();
}

void ExceptionEditorDialog::showEvent(QShowEvent* event) {
    EditorDialog::showEvent(event);
    kindField()->setFocus();
}

void ExceptionEditorDialog::store() {
    m_editor.kind = chosenKind();
    m_editor.address = text(m_address->text());
    m_editor.domain = text(m_domain->text());
    m_editor.text = text(m_text->text());
    m_editor.fieldName = text(m_fieldName->currentText());
    m_editor.condition = std::max(0, m_condition->currentIndex());
    m_editor.caseMatters = m_case->isChecked();
    if (m_pictures->checkedId() >= 0) m_editor.selectPictureCell(m_pictures->checkedId());
}

QWidget* ExceptionEditorDialog::fieldWidget(EditorField field) {
    switch (field) {
    case EditorField::Address:
        return m_address;
    case EditorField::Domain:
        return m_domain;
    default:
        return m_text;
    }
}

} // namespace mv::gui
