// Questions take the answers a test queued, in order, and every box is recorded with its kind:
// the contract every window test relies on to see what the program asked.
#include "gui/widgets/FileDialog.h"
#include "gui/widgets/MessageBox.h"

#include <gtest/gtest.h>

using mv::gui::FileDialog;
using mv::gui::MessageBox;

TEST(DialogRouting, QuestionsTakeQueuedAnswersAndBoxesAreRecorded) {
    MessageBox::queueAnswer(true);
    EXPECT_TRUE(MessageBox::question(nullptr, QStringLiteral("Delete?")));
    EXPECT_FALSE(MessageBox::question(nullptr, QStringLiteral("Again?"))); // none queued: No
    MessageBox::error(nullptr, QStringLiteral("Broken."));
    EXPECT_EQ(MessageBox::takeShown(),
              (QStringList{QStringLiteral("question: Delete?"), QStringLiteral("question: Again?"),
                           QStringLiteral("error: Broken.")}));
    EXPECT_TRUE(MessageBox::takeShown().isEmpty());
}

TEST(DialogRouting, FileDialogsReturnQueuedNamesThenCancel) {
    FileDialog::queueFileName(QStringLiteral("/tmp/log.txt"));
    EXPECT_EQ(FileDialog::openFileName(nullptr, {}, {}, {}), QStringLiteral("/tmp/log.txt"));
    EXPECT_TRUE(FileDialog::saveFileName(nullptr, {}, {}, {}).isEmpty());
}
