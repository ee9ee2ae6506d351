#pragma once
// Driving the spam settings windows the way a user does: a rule set in a fresh folder, the window
// over it, and the modal windows it opens (rule editors, country list, import) answered by a test
// function once they are on screen.
#include "app/settings/HomeLock.h"
#include "gui/screening/RuleTablePage.h"
#include "gui/screening/SpamSettingsWindow.h"
#include "screening/RuleRows.h"
#include "screening/SubjectEditor.h"
#include "screening/TempDir.h"
#include "gui/ModalWindows.h"

#include <QAbstractButton>
#include <QApplication>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace mv::test {

using gui::RuleTablePage;
using gui::SpamSettingsWindow;

template <class W = QAbstractButton> W* child(QObject* parent, const char* name) {
    W* w = parent->findChild<W*>(QLatin1String(name));
    EXPECT_NE(w, nullptr) << name;
    return w;
}

inline void click(QObject* parent, const char* name) {
    if (auto* b = child(parent, name)) QTest::mouseClick(b, Qt::LeftButton);
}

class SpamWindowTest : public ::testing::Test {
protected:
    void SetUp() override { rules.readSettings(); }

    // Subject rules "Contains" on each text, delete rules, saved to subj.lst and read back.
    void seedSubjects(std::initializer_list<const char*> texts) {
        for (const char* text : texts) {
            SubjectEditor editor;
            editor.text = text;
            writeEditor(rules.subject(), rowForAppend(rules.subject(), TableId::Subject), editor);
        }
        ASSERT_TRUE(rules.Savesettings().empty());
        rules.readSettings();
    }
    std::vector<std::string> column(TableId id, int col) const {
        std::vector<std::string> out;
        const RuleTable& t = rules.table(id);
        for (int r = 1; r < t.rowCount(); ++r)
            out.push_back(t.cell(col, r));
        return out;
    }
    SpamSettingsWindow& window() {
        if (!m_window) {
            m_window = std::make_unique<SpamSettingsWindow>(rules, accounts,
                                                            home / mv::kLockFileName, store);
            m_window->show();
        }
        return *m_window;
    }
    RuleTablePage& page(TableId id) { return *window().page(id); }
    void closeWindow() { m_window.reset(); }

    TempDir home;
    RuleSet rules{home.path()};
    MailboxAccounts accounts;
    SettingsStore store{home / "settings.ini"};

private:
    std::unique_ptr<SpamSettingsWindow> m_window;
};

} // namespace mv::test
