#pragma once
// "Spam Settings": the subject, header and sender tables, the size rules, the exceptions, the
// known-spammer list and the unknown-domain check on seven pages. It works on the program's rule
// set directly, so OK makes every change effective at once, and Cancel reads everything back from
// the files. Opened modally for as long as the user edits; what OK, Cancel and the pages do is
// the spam settings logic's, the window presents it.
#include "app/settings/MailboxAccounts.h"
#include "app/settings/SettingsStore.h"
#include "screening/SpamSettings.h"

#include <QDialog>
#include <array>
#include <filesystem>

class QCheckBox;
class QLabel;
class QRadioButton;
class QSpinBox;
class QTabWidget;
class QWidget;

namespace mv::gui {

class KnownListPanel;
class RuleTablePage;

class SpamSettingsWindow : public QDialog {
    Q_OBJECT
public:
    // `lockFile`: the home lock, held for each save. `store`: where the tables' column widths
    // are remembered (sections "Subject", "Headers", "Sender", "Exceptions", keys "col<n>").
    SpamSettingsWindow(RuleSet& rules, const MailboxAccounts& accounts,
                       std::filesystem::path lockFile, SettingsStore& store,
                       QWidget* parent = nullptr);
    ~SpamSettingsWindow() override;

    RuleTablePage* page(TableId id) const;
    KnownListPanel* knownPanel() const { return m_knownPanel; }
    QTabWidget* tabs() const { return m_tabs; }
    SpamSettings& settings() { return m_settings; }

    // "OK": closes only when everything was saved; otherwise tells the user and stays open with
    // the edits.
    void okClicked();
    // "Cancel", and equally Escape and the title bar's close, which reach only this: everything
    // back to what the files hold, then closes. The tables are the ones the screening pass reads,
    // so no way out may leave an unconfirmed edit in them.
    void reject() override;

    // The two imports: the import window, then the rules appended and saved.
    void importKeywords();
    void importAddresses();

    // One group of the "Size" page: the switch, the limit with its spin button, and the mark.
    struct SizeGroup {
        QCheckBox* on = nullptr;
        QSpinBox* limit = nullptr;
        QRadioButton* check = nullptr;
        QRadioButton* question = nullptr;
        void show(bool enabled, long long limit, long long maximum, bool deletes);
        void enable();
    };

private:
    QWidget* buildSizePage();
    QWidget* buildValidDomainsPage();
    QWidget* buildKnownPage();
    void showOptions();
    void storeOptions();
    void showUnknownCount();
    void resetCounter();
    void refreshPages();
    // Tells the user of every message; false when there was one.
    bool report(const std::vector<std::string>& messages);
    void runImport(const QString& title, bool keywords);
    void readColumnWidths();
    void writeColumnWidths() const;

    SpamSettings m_settings;
    MailboxAccounts m_accounts;
    std::filesystem::path m_lockFile;
    SettingsStore& m_store;
    QTabWidget* m_tabs;
    std::array<RuleTablePage*, 4> m_pages{};
    KnownListPanel* m_knownPanel = nullptr;

    SizeGroup m_smaller;
    SizeGroup m_larger;
    QCheckBox* m_valid = nullptr;
    QWidget* m_validPanel = nullptr;
    QRadioButton* m_validCheck = nullptr;
    QRadioButton* m_validQuestion = nullptr;
    QLabel* m_unknownCount = nullptr;
};

} // namespace mv::gui
