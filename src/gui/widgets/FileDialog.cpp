#include "gui/widgets/FileDialog.h"

#include <QFileDialog>
#include <deque>
#include <optional>

namespace mv::gui {
namespace {

struct Answer {
    QString name;
    QString filter;
};

struct TestState {
    bool on = false;
    std::deque<Answer> answers;
};

TestState& testState() {
    static TestState state;
    return state;
}

// The queued answer in test mode, nothing otherwise.
std::optional<Answer> testAnswer() {
    TestState& test = testState();
    if (!test.on) return std::nullopt;
    if (test.answers.empty()) return Answer{};
    Answer answer = test.answers.front();
    test.answers.pop_front();
    return answer;
}

} // namespace

QString FileDialog::openFileName(QWidget* parent, const QString& caption, const QString& start,
                                 const QString& filter) {
    if (auto answer = testAnswer()) return answer->name;
    return QFileDialog::getOpenFileName(parent, caption, start, filter);
}

QString FileDialog::saveFileName(QWidget* parent, const QString& caption, const QString& start,
                                 const QString& filter, QString* selectedFilter) {
    if (auto answer = testAnswer()) {
        if (selectedFilter)
            *selectedFilter = answer->filter.isEmpty() ? filter.section(QStringLiteral(";;"), 0, 0)
                                                       : answer->filter;
        return answer->name;
    }
    return QFileDialog::getSaveFileName(parent, caption, start, filter, selectedFilter);
}

QString FileDialog::existingFolder(QWidget* parent, const QString& caption, const QString& start) {
    if (auto answer = testAnswer()) return answer->name;
    return QFileDialog::getExistingDirectory(parent, caption, start);
}

void FileDialog::setTestMode(bool on) { testState() = TestState{on, {}}; }

void FileDialog::queueFileName(const QString& name, const QString& filter) {
    testState().answers.push_back({name, filter});
}

} // namespace mv::gui
