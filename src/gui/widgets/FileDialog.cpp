#include "gui/widgets/FileDialog.h"

#include <QFileDialog>
#include <deque>
#include <optional>

namespace mv::gui {
namespace {

struct TestState {
    bool on = false;
    std::deque<QString> names;
};

TestState& testState() {
    static TestState state;
    return state;
}

// The queued answer in test mode, nothing otherwise.
std::optional<QString> testAnswer() {
    TestState& test = testState();
    if (!test.on) return std::nullopt;
    if (test.names.empty()) return QString();
    QString name = test.names.front();
    test.names.pop_front();
    return name;
}

} // namespace

QString FileDialog::openFileName(QWidget* parent, const QString& caption, const QString& start,
                                 const QString& filter) {
    if (auto answer = testAnswer()) return *answer;
    return QFileDialog::getOpenFileName(parent, caption, start, filter);
}

QString FileDialog::saveFileName(QWidget* parent, const QString& caption, const QString& start,
                                 const QString& filter) {
    if (auto answer = testAnswer()) return *answer;
    return QFileDialog::getSaveFileName(parent, caption, start, filter);
}

QString FileDialog::existingFolder(QWidget* parent, const QString& caption, const QString& start) {
    if (auto answer = testAnswer()) return *answer;
    return QFileDialog::getExistingDirectory(parent, caption, start);
}

void FileDialog::setTestMode(bool on) { testState() = TestState{on, {}}; }

void FileDialog::queueFileName(const QString& name) { testState().names.push_back(name); }

} // namespace mv::gui
