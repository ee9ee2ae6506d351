#include "screenshots/SpamSettingsShots.h"

#include "base/Files.h"
#include "gui/screening/CountryListDialog.h"
#include "gui/screening/ImportDialog.h"
#include "gui/screening/RuleEditorDialogs.h"
#include "gui/screening/SpamSettingsWindow.h"
#include "screening/RuleRows.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTreeWidget>

namespace mv::gui {
namespace {

void addRows(RuleSet& rules, TableId id,
             std::initializer_list<std::initializer_list<std::string_view>> rows) {
    RuleTable& table = rules.table(id);
    for (const auto& cells : rows)
        putRuleRow(table, id, rowForAppend(table, id), makeRuleRow(cells));
}

// A rule set as a user of some months would have it.
void fillRules(RuleSet& rules) {
    rules.readSettings();
    addRows(rules, TableId::Subject,
            {{"", "Contains (whole word)", "free", "No", "Yes", "112"},
             {"", "Contains", "viagra", "No", "Yes", "87"},
             {"", "Contains", "lottery", "No", "Yes", "41"},
             {"", "Starts with", "ADV:", "Yes", "Yes", "23"},
             {"", "Contains", "make money", "No", "Yes", "19"},
             {"", "Is UPPERCASE", "", "", "No", "12"},
             {"", "Contains", "special offer", "No", "No", "9"},
             {"", "Is blank", "", "", "No", "4"}});
    addRows(rules, TableId::Header,
            {{"", "To does not contain", "bob - MailBox #1", "No", "No", "33"},
             {"", "Contains", "X-Mailer: Group Mail", "No", "Yes", "15"},
             {"", "Starts with", "X-Advertisement", "No", "Yes", "7"},
             {"", "Sender", "does not match Reply-to", "No", "No", "5"},
             {"", "Ends with", ".ZR", "No", "Yes", "1"}});
    addRows(rules, TableId::Sender,
            {{"", "Domain name", "Equals", "bulkmail.example", "Yes", "58"},
             {"", "E-mail address", "All numeric", "", "Yes", "26"},
             {"", "E-mail address", "Contains", "casino", "Yes", "14"},
             {"", "Domain name", "Ends with", ".Sb", "Yes", "3"},
             {"", "E-mail address", "50% numeric", "", "No", "2"}});
    addRows(rules, TableId::Exceptions,
            {{"E-mail address", "Equals", "mum@family.example", "No", "31", "", "4"},
             {"Domain name", "Equals", "work.example", "No", "120", "", "3"},
             {"Subject:", "Contains", "[club-news]", "No", "44", "", "9"},
             {"Reply-To:", "Equals", "list@lists.example", "No", "17", "", "12"}});
    rules.options().smallerOn = true;
    rules.options().largerOn = true;
    rules.options().largerLimit = 99900;
    rules.options().unknownDomainCount = "27";
    rules.Savesettings();
    writeFileAtomically(rules.knownPath(), "1-spam-mailer.example\r\nbulk.example\r\n"
                                           "cheap-pills.example\r\ndeals@offers.example\r\n"
                                           "info@winner-lottery.example\r\nmass.example\r\n");
    rules.LoadUpKnownList();
}

QString save(QWidget& window, const QString& outDir, const QString& name) {
    window.show();
    QApplication::processEvents();
    const QString file = QDir(outDir).filePath(name);
    window.grab().save(file);
    return file;
}

} // namespace

QStringList shootSpamSettingsPages(const QString& outDir) {
    QTemporaryDir home;
    RuleSet rules(home.path().toStdString());
    fillRules(rules);
    MailboxAccounts accounts;
    SettingsStore store((home.path() + "/settings.ini").toStdString());
    SpamSettingsWindow window(rules, accounts, (home.path() + "/mailvane.lock").toStdString(),
                              store);
    window.resize(720, 560);
    window.findChild<QLineEdit*>(QStringLiteral("edTestSubject"))
        ->setText(QStringLiteral("FREE lottery special offer"));
    const char* names[] = {"subject",    "headers",   "sender",       "size",
                           "exceptions", "blacklist", "valid-domains"};
    QStringList files;
    for (int i = 0; i < window.tabs()->count(); ++i) {
        window.tabs()->setCurrentIndex(i);
        files << save(window, outDir,
                      QStringLiteral("spam-settings-%1-%2.png").arg(i + 1).arg(names[i]));
    }
    return files;
}

QStringList shootRuleEditors(const QString& outDir) {
    QStringList files;
    SubjectEditor subject;
    subject.fillFromRow(makeRuleRow({"", "Contains", "lottery", "No", "Yes", "41"}));
    SubjectEditorDialog subjectDialog(subject);
    files << save(subjectDialog, outDir, QStringLiteral("spam-editor-subject.png"));

    SenderEditor sender;
    sender.applyCountry({".ZR", "Zaire"});
    SenderEditorDialog senderDialog(sender);
    files << save(senderDialog, outDir, QStringLiteral("spam-editor-sender.png"));

    HeaderEditor header({{1, "bob", "pop.example.net"}, {3, "ann", "mail.example.org"}});
    HeaderEditorDialog headerDialog(header);
    files << save(headerDialog, outDir, QStringLiteral("spam-editor-header.png"));

    ExceptionEditor exception;
    exception.fillFromRow(makeRuleRow({"Subject", "Contains", "[club-news]", "No", "44", "", "9"}));
    ExceptionEditorDialog exceptionDialog(exception);
    files << save(exceptionDialog, outDir, QStringLiteral("spam-editor-exception.png"));
    return files;
}

QStringList shootCountryList(const QString& outDir) {
    CountryListDialog dialog;
    dialog.list()->setCurrentItem(dialog.list()->topLevelItem(3));
    return {save(dialog, outDir, QStringLiteral("spam-country-list.png"))};
}

QStringList shootImportDialog(const QString& outDir) {
    ImportDialog dialog(QStringLiteral("Import spam keywords"));
    dialog.box()->setPlainText(QStringLiteral("casino\nweight loss\nrefinance\nwork from home"));
    return {save(dialog, outDir, QStringLiteral("spam-import.png"))};
}

} // namespace mv::gui
