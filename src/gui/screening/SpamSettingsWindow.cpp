#include "gui/screening/SpamSettingsWindow.h"

#include "base/Files.h"
#include "gui/screening/ImportDialog.h"
#include "gui/screening/KnownListPanel.h"
#include "gui/screening/RuleEditorDialogs.h"
#include "gui/screening/RuleTablePage.h"
#include "gui/widgets/Help.h"
#include "gui/widgets/MessageBox.h"
#include "gui/widgets/Pictures.h"
#include "gui/widgets/SaveLock.h"
#include "screening/RuleImports.h"
#include "screening/RuleRows.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

namespace mv::gui {
namespace {

QString qs(std::string_view text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

QLabel* wrapped(const QString& text, QWidget* parent) {
    auto* l = new QLabel(text, parent);
    l->setWordWrap(true);
    return l;
}

// Insert or edit one rule through its editor window; the editor model decides what is written.
template <class Editor, class Dialog>
bool runEditor(QWidget* parent, RuleTable& table, int row, bool insert, Editor editor) {
    if (!insert && !fillEditor(table, row, editor)) {
        const QString text = qs(kNothingToEdit);
        if (Editor::kTable == TableId::Sender)
            MessageBox::information(parent, text);
        else
            MessageBox::error(parent, text);
        return false;
    }
    Dialog dialog(editor, parent);
    if (dialog.exec() != QDialog::Accepted) return false;
    if (insert)
        insertRule(table, row, editor);
    else
        writeEditor(table, row, editor);
    return true;
}

std::vector<MailboxChoice> mailboxChoices(const MailboxAccounts& accounts) {
    std::vector<MailboxChoice> out;
    for (int n = 1; n <= MailboxAccounts::kCount; ++n)
        if (accounts[n].configured()) out.push_back({n, accounts[n].user, accounts[n].server});
    return out;
}

RuleEditorRunner editorFor(TableId id, const MailboxAccounts& accounts) {
    switch (id) {
    case TableId::Subject:
        return [](QWidget* p, RuleTable& t, int row, bool insert) {
            return runEditor<SubjectEditor, SubjectEditorDialog>(p, t, row, insert, {});
        };
    case TableId::Sender:
        return [](QWidget* p, RuleTable& t, int row, bool insert) {
            return runEditor<SenderEditor, SenderEditorDialog>(p, t, row, insert, {});
        };
    case TableId::Header:
        return [boxes = mailboxChoices(accounts)](QWidget* p, RuleTable& t, int row, bool insert) {
            return runEditor<HeaderEditor, HeaderEditorDialog>(p, t, row, insert,
                                                               HeaderEditor(boxes));
        };
    case TableId::Exceptions:
        return [](QWidget* p, RuleTable& t, int row, bool insert) {
            return runEditor<ExceptionEditor, ExceptionEditorDialog>(p, t, row, insert, {});
        };
    }
    return {};
}

RulePageLayout pageLayout(TableId id) {
    switch (id) {
    case TableId::Subject:
        return {id,
                "gridSubject",
                "Subject",
                "btDelSubject",
                "btImport",
                QStringLiteral("If a subject line matches the criteria below the email will be "
                               "considered a SPAM"),
                QStringLiteral("Conditions"),
                QStringLiteral("Type a subject to see which rules it meets")};
    case TableId::Header:
        return {id,
                "gridHeader",
                "Header",
                "btDeleteHeader",
                nullptr,
                QStringLiteral("If a message header matches the criteria below the email will be "
                               "considered a SPAM"),
                QStringLiteral("Conditions"),
                QString()};
    case TableId::Sender:
        return {id,
                "gridFrom",
                "From",
                "btDelFrom",
                nullptr,
                QStringLiteral("If the sender's address matches the criteria below the email will "
                               "be considered a SPAM"),
                QStringLiteral("Conditions"),
                QStringLiteral("Type a sender's address to see which rules it meets")};
    case TableId::Exceptions:
        return {id,
                "gridExcept",
                "Except",
                "btDelExcept",
                "btImportExceptions",
                QStringLiteral("Always accept e-mail under the following conditions. Message will "
                               "be marked with a bitmap."),
                QStringLiteral("Exceptions"),
                QString()};
    }
    return {};
}

QRadioButton* radio(const QString& caption, const QString& name, QWidget* parent) {
    auto* r = new QRadioButton(caption, parent);
    r->setObjectName(name);
    return r;
}

SpamSettingsWindow::SizeGroup sizeGroup(QGridLayout* grid, int row, const QString& caption,
                                        const QString& name, long long maximum, long long step,
                                        QWidget* parent) {
    SpamSettingsWindow::SizeGroup g{
        new QCheckBox(caption, parent), new QSpinBox(parent),
        radio(QStringLiteral("check mark"), QStringLiteral("rb") + name + "Check", parent),
        radio(QStringLiteral("question"), QStringLiteral("rb") + name + "Question", parent)};
    g.on->setObjectName(QStringLiteral("cb") + name);
    g.limit->setObjectName(QStringLiteral("ed") + name);
    g.limit->setRange(0, int(maximum));
    g.limit->setSingleStep(int(step));
    g.limit->setMinimumWidth(110);
    auto* group = new QButtonGroup(parent); // the two groups' radio buttons must not share
    group->addButton(g.check);
    group->addButton(g.question);
    grid->addWidget(g.on, row, 0);
    grid->addWidget(g.limit, row, 1);
    grid->addWidget(new QLabel(QStringLiteral("bytes, "), parent), row, 2);
    grid->addWidget(new QLabel(QStringLiteral("then mark the message with a"), parent), row, 3);
    g.check->setIcon(markIcon(kPictureDelete));
    g.question->setIcon(markIcon(kPictureQuestion));
    grid->addWidget(g.check, row, 4);
    grid->addWidget(g.question, row, 5);
    return g;
}

} // namespace

SpamSettingsWindow::SpamSettingsWindow(RuleSet& rules, const MailboxAccounts& accounts,
                                       std::filesystem::path lockFile, SettingsStore& store,
                                       QWidget* parent)
    : QDialog(parent), m_settings(rules), m_accounts(accounts), m_lockFile(std::move(lockFile)),
      m_store(store), m_tabs(new QTabWidget(this)) {
    setObjectName(QStringLiteral("TfrmOptionsMain"));
    setWindowTitle(QStringLiteral("Spam Settings"));
    m_tabs->setObjectName(QStringLiteral("PageControl1"));

    auto addTable = [&](TableId id, const QString& tab) {
        auto* page = new RuleTablePage(rules, pageLayout(id), editorFor(id, m_accounts), this);
        m_pages[std::size_t(id)] = page;
        m_tabs->addTab(page, tab);
        return page;
    };
    connect(addTable(TableId::Subject, QStringLiteral("Subject")), &RuleTablePage::importClicked,
            this, &SpamSettingsWindow::importKeywords);
    addTable(TableId::Header, QStringLiteral("Headers"));
    addTable(TableId::Sender, QStringLiteral("Sender"));
    m_tabs->addTab(buildSizePage(), QStringLiteral("Size"));
    connect(addTable(TableId::Exceptions, QStringLiteral("Exceptions")),
            &RuleTablePage::importClicked, this, &SpamSettingsWindow::importAddresses);
    m_tabs->addTab(buildKnownPage(), QStringLiteral("BlackList"));
    m_tabs->addTab(buildValidDomainsPage(), QStringLiteral("Valid Domains"));

    auto* buttons = new QDialogButtonBox(this);
    auto* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    auto* cancel = buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    auto* help = buttons->addButton(QStringLiteral("&Help"), QDialogButtonBox::HelpRole);
    ok->setObjectName(QStringLiteral("btOK"));
    cancel->setObjectName(QStringLiteral("btCancel"));
    help->setObjectName(QStringLiteral("btHelp"));
    connect(ok, &QPushButton::clicked, this, &SpamSettingsWindow::okClicked);
    connect(cancel, &QPushButton::clicked, this, &SpamSettingsWindow::reject);
    connect(help, &QPushButton::clicked, this, [this] { openHelp(this, HelpTopic::SpamSettings); });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs, 1);
    layout->addWidget(buttons);
    resize(640, 460);

    report(m_settings.show());
    m_knownPanel->reload();
    refreshPages();
    showOptions();
    readColumnWidths();
    m_tabs->setCurrentIndex(0);
}

SpamSettingsWindow::~SpamSettingsWindow() {
    writeColumnWidths();
}

RuleTablePage* SpamSettingsWindow::page(TableId id) const {
    return m_pages[std::size_t(id)];
}

QWidget* SpamSettingsWindow::buildSizePage() {
    auto* page = new QWidget(this);
    auto* grid = new QGridLayout;
    m_smaller = sizeGroup(grid, 0, QStringLiteral("If the message size is smaller than"),
                          QStringLiteral("Smaller"), kSmallerLimitMax, kSmallerLimitStep, page);
    m_larger = sizeGroup(grid, 1, QStringLiteral("If the message size is larger than"),
                         QStringLiteral("Larger"), kLargerLimitMax, kLargerLimitStep, page);
    connect(m_smaller.on, &QCheckBox::toggled, this, [this] { m_smaller.enable(); });
    connect(m_larger.on, &QCheckBox::toggled, this, [this] { m_larger.enable(); });

    auto* layout = new QVBoxLayout(page);
    layout->addLayout(grid);
    layout->addSpacing(16);
    layout->addWidget(wrapped(QStringLiteral("Note: Only messages with a check mark will be "
                                             "deleted.  The question mark is to notify you of a "
                                             "potential spam message to delete."),
                              page));
    layout->addStretch();
    return page;
}

QWidget* SpamSettingsWindow::buildValidDomainsPage() {
    auto* page = new QWidget(this);
    m_valid = new QCheckBox(
        QStringLiteral("Check for valid domain names within the senders e-mail address?"), page);
    m_valid->setObjectName(QStringLiteral("cbValid"));
    m_validPanel = new QGroupBox(page);
    m_validPanel->setObjectName(QStringLiteral("pnValid"));
    m_validCheck =
        radio(QStringLiteral("&check mark"), QStringLiteral("rbValidCheck"), m_validPanel);
    m_validQuestion =
        radio(QStringLiteral("&question mark"), QStringLiteral("rbValidQuestion"), m_validPanel);
    m_validCheck->setIcon(markIcon(kPictureDelete));
    m_validQuestion->setIcon(markIcon(kPictureQuestion));
    m_unknownCount = new QLabel(m_validPanel);
    m_unknownCount->setObjectName(QStringLiteral("lbUnknownCount"));
    auto* reset = new QPushButton(QStringLiteral("Reset counter"), m_validPanel);
    reset->setObjectName(QStringLiteral("btClear"));
    connect(reset, &QPushButton::clicked, this, &SpamSettingsWindow::resetCounter);
    connect(m_valid, &QCheckBox::toggled, m_validPanel, &QWidget::setVisible);

    auto* panel = new QVBoxLayout(m_validPanel);
    panel->addWidget(
        wrapped(QStringLiteral("If the domain name is invalid or unknown mark the message with:"),
                m_validPanel));
    auto* marks = new QHBoxLayout;
    marks->addWidget(m_validCheck);
    marks->addWidget(m_validQuestion);
    marks->addStretch();
    panel->addLayout(marks);
    panel->addWidget(wrapped(
        QStringLiteral("Note: Only messages with a check mark will be deleted."), m_validPanel));
    auto* counter = new QHBoxLayout;
    counter->addWidget(m_unknownCount);
    counter->addWidget(
        new QLabel(QStringLiteral("unknown domains have been detected"), m_validPanel));
    counter->addStretch();
    counter->addWidget(reset);
    panel->addLayout(counter);

    auto* layout = new QVBoxLayout(page);
    layout->addWidget(wrapped(
        QStringLiteral("Mailvane can check the reply-to field of every message for valid domain "
                       "names: a sender whose domain has no mail server cannot be answered and is "
                       "most likely a spammer."),
        page));
    layout->addWidget(wrapped(QStringLiteral("The domain name is the part of the e-mail address "
                                             "after the \"@\" symbol."),
                              page));
    layout->addSpacing(8);
    layout->addWidget(m_valid);
    layout->addWidget(m_validPanel);
    layout->addStretch();
    return page;
}

QWidget* SpamSettingsWindow::buildKnownPage() {
    m_knownPanel = new KnownListPanel(m_settings.knownPage(), m_lockFile, this);
    return m_knownPanel;
}

void SpamSettingsWindow::showOptions() {
    const SpamOptions& o = m_settings.rules().options();
    m_smaller.show(o.smallerOn, o.smallerLimit, kSmallerLimitMax, o.smallerDeletes);
    m_larger.show(o.largerOn, o.largerLimit, kLargerLimitMax, o.largerDeletes);
    m_valid->setChecked(o.checkDomains);
    m_validPanel->setVisible(o.checkDomains);
    (o.unknownDomainDeletes ? m_validCheck : m_validQuestion)->setChecked(true);
    m_knownPanel->monitorBox()->setChecked(o.compareWithKnownList);
    showUnknownCount();
}

void SpamSettingsWindow::storeOptions() {
    SpamOptions& o = m_settings.rules().options();
    o.smallerOn = m_smaller.on->isChecked();
    o.smallerLimit = m_smaller.limit->value();
    o.smallerDeletes = m_smaller.check->isChecked();
    o.largerOn = m_larger.on->isChecked();
    o.largerLimit = m_larger.limit->value();
    o.largerDeletes = m_larger.check->isChecked();
    o.checkDomains = m_valid->isChecked();
    o.unknownDomainDeletes = m_validCheck->isChecked();
    o.compareWithKnownList = m_knownPanel->monitorBox()->isChecked();
}

void SpamSettingsWindow::SizeGroup::show(bool enabled, long long value, long long maximum,
                                         bool deletes) {
    on->setChecked(enabled);
    limit->setValue(int(std::clamp<long long>(value, 0, maximum)));
    (deletes ? check : question)->setChecked(true);
    enable();
}

void SpamSettingsWindow::SizeGroup::enable() {
    for (QWidget* w : {static_cast<QWidget*>(limit), static_cast<QWidget*>(check),
                       static_cast<QWidget*>(question)})
        w->setEnabled(on->isChecked());
}

void SpamSettingsWindow::showUnknownCount() {
    m_unknownCount->setText(
        QString::fromStdString(m_settings.rules().options().unknownDomainCount));
}

void SpamSettingsWindow::resetCounter() {
    if (!MessageBox::question(this, qs(kResetCounterQuestion))) return;
    m_settings.resetUnknownCounter();
    showUnknownCount();
}

void SpamSettingsWindow::refreshPages() {
    for (RuleTablePage* page : m_pages)
        page->refresh();
}

bool SpamSettingsWindow::report(const std::vector<std::string>& messages) {
    if (messages.empty()) return true;
    QStringList lines;
    for (const std::string& m : messages)
        lines << QString::fromStdString(m);
    MessageBox::error(this, lines.join(QLatin1Char('\n')));
    return false;
}

void SpamSettingsWindow::okClicked() {
    storeOptions();
    m_knownPanel->takeText();
    std::unique_ptr<ScopedHomeLock> lock = lockForSave(this, m_lockFile);
    if (!lock) return;
    const std::vector<std::string> failures = m_settings.ok();
    lock.reset();
    refreshPages();
    if (!m_settings.knownPage().editing()) m_knownPanel->reload();
    if (!report(failures)) return; // nothing may look saved that is not: the edits stay open
    accept();
}

void SpamSettingsWindow::reject() {
    report(m_settings.cancel());
    refreshPages();
    m_knownPanel->reload();
    showOptions();
    QDialog::reject();
}

// Imported rows join the window's other edits: OK saves them all, Cancel drops them all.
void SpamSettingsWindow::runImport(const QString& title, bool keywords) {
    ImportDialog dialog(title, this);
    if (dialog.exec() != QDialog::Accepted) return;
    RuleSet& rules = m_settings.rules();
    if (keywords)
        mv::importKeywords(rules.subject(), dialog.lines());
    else
        mv::importAddresses(rules.exceptions(), dialog.lines());
    refreshPages();
}

void SpamSettingsWindow::importKeywords() {
    runImport(qs(kImportKeywordsTitle), true);
}

void SpamSettingsWindow::importAddresses() {
    runImport(qs(kImportAddressesTitle), false);
}

void SpamSettingsWindow::readColumnWidths() {
    for (TableId id : kAllTables) {
        std::vector<int> widths;
        for (int c = 0; c < page(id)->model()->columnCount(); ++c)
            widths.push_back(
                int(m_store.readValue(columnWidthSection(id), "col" + std::to_string(c), 0)));
        page(id)->setColumnWidths(widths);
    }
}

void SpamSettingsWindow::writeColumnWidths() const {
    try {
        for (TableId id : kAllTables) {
            std::vector<std::pair<std::string, long long>> values;
            const std::vector<int> widths = page(id)->columnWidths();
            for (std::size_t c = 0; c < widths.size(); ++c)
                values.emplace_back("col" + std::to_string(c), widths[c]);
            m_store.writeValues(columnWidthSection(id), values);
        }
    } catch (const std::exception&) {
        // Widths that cannot be remembered are not worth a message at every close.
    }
}

} // namespace mv::gui
