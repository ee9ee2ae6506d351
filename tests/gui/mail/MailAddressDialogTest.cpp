// The "Address" dialog: it edits a copy, hands it back only on OK, and keeps each field within the
// mail library's 255 bytes without splitting a character.
#include "gui/mail/MailAddressDialog.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace mv::gui {
namespace {

QLineEdit* field(QWidget* dialog, const char* name) {
    return dialog->findChild<QLineEdit*>(QString::fromLatin1(name));
}

// Types into the modal dialog once it is up, then presses `button`.
void answerDialog(const QString& name, const QString& address, const char* button) {
    QTimer::singleShot(0, [=] {
        QWidget* dialog = QApplication::activeModalWidget();
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->windowTitle(), "Address");
        for (auto [edit, text] : {std::pair{"NameEdit", name}, std::pair{"AddressEdit", address}}) {
            field(dialog, edit)->selectAll();
            QTest::keyClicks(field(dialog, edit), text);
        }
        QTest::mouseClick(dialog->findChild<QPushButton*>(QString::fromLatin1(button)),
                          Qt::LeftButton);
    });
}

TEST(MailAddressDialog, OKAssignsTheEditedAddressCancelLeavesIt) {
    TEmailAddress address{"Ann Other", "ann@example.net"};
    answerDialog("Bob", "bob@example.com", "CancelBtn");
    EXPECT_FALSE(editAddress(nullptr, address));
    EXPECT_EQ(address, (TEmailAddress{"Ann Other", "ann@example.net"}));

    answerDialog("Bob", "bob@example.com", "OKBtn");
    EXPECT_TRUE(editAddress(nullptr, address));
    EXPECT_EQ(address, (TEmailAddress{"Bob", "bob@example.com"}));
}

TEST(MailAddressDialog, ShowsTheAddressAndCutsEachFieldTo255Bytes) {
    const QString eAcute = QString::fromUtf8("\xC3\xA9");
    struct Case {
        QString typed;
        std::string stored;
    };
    const Case cases[] = {
        {"Ann", "Ann"},
        {QString(300, 'a'), std::string(255, 'a')},
        // Two bytes a character: 127 whole characters fit, never half of the 128th.
        {eAcute.repeated(200),
         [] {
             std::string s;
             for (int i = 0; i < 127; ++i)
                 s += "\xC3\xA9";
             return s;
         }()},
    };
    for (const Case& c : cases) {
        TMailAddressDlg dialog;
        dialog.assign({"Old name", "old@example.org"});
        EXPECT_EQ(field(&dialog, "NameEdit")->text(), "Old name");
        EXPECT_EQ(field(&dialog, "AddressEdit")->text(), "old@example.org");
        field(&dialog, "NameEdit")->setText(c.typed);
        field(&dialog, "AddressEdit")->setText(c.typed);
        dialog.accept();
        EXPECT_EQ(dialog.address().Name, c.stored);
        EXPECT_EQ(dialog.address().Address, c.stored);
    }
}

} // namespace
} // namespace mv::gui
