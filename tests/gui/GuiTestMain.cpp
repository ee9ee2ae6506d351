// The main of every desktop-program test: an offscreen QApplication (no display needed), a
// private runtime folder so Qt does not warn, and message boxes and file dialogs that never block.
#include "gui/widgets/FileDialog.h"
#include "gui/widgets/MessageBox.h"

#include <QApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir runtime;
    QFile::setPermissions(runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName(QStringLiteral("Mailvane"));
    mv::gui::MessageBox::setTestMode(true);
    mv::gui::FileDialog::setTestMode(true);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
