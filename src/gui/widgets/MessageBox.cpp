#include "gui/widgets/MessageBox.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <deque>

namespace mv::gui {
namespace {

struct TestState {
    bool on = false;
    std::deque<bool> answers;
    QStringList shown;
    QPointer<QWidget> shownOver;
};

TestState& testState() {
    static TestState state;
    return state;
}

} // namespace

void MessageBox::information(QWidget* parent, const QString& text) {
    show(parent, Kind::Information, text);
}

void MessageBox::warning(QWidget* parent, const QString& text) {
    show(parent, Kind::Warning, text);
}

void MessageBox::error(QWidget* parent, const QString& text) { show(parent, Kind::Error, text); }

bool MessageBox::question(QWidget* parent, const QString& text) {
    return show(parent, Kind::Question, text);
}

void MessageBox::setTestMode(bool on) { testState() = TestState{on, {}, {}, {}}; }

void MessageBox::queueAnswer(bool yes) { testState().answers.push_back(yes); }

QStringList MessageBox::takeShown() { return std::exchange(testState().shown, {}); }

QWidget* MessageBox::lastShownOver() { return testState().shownOver; }

bool MessageBox::show(QWidget* parent, Kind kind, const QString& text) {
    static const char* const kinds[] = {"information", "warning", "error", "question"};
    // A box goes over the modal window open now, whoever asks: under a window that stays on top
    // it could be neither seen nor answered, and the program would look frozen.
    if (QWidget* modal = QApplication::activeModalWidget()) parent = modal;
    TestState& test = testState();
    if (test.on) {
        test.shownOver = parent;
        test.shown << QStringLiteral("%1: %2").arg(kinds[int(kind)], text);
        if (kind != Kind::Question || test.answers.empty()) return false;
        bool answer = test.answers.front();
        test.answers.pop_front();
        return answer;
    }
    const QString title = QApplication::applicationDisplayName();
    switch (kind) {
    case Kind::Information: QMessageBox::information(parent, title, text); return true;
    case Kind::Warning: QMessageBox::warning(parent, title, text); return true;
    case Kind::Error: QMessageBox::critical(parent, title, text); return true;
    case Kind::Question:
        return QMessageBox::question(parent, title, text, QMessageBox::Yes | QMessageBox::No) ==
               QMessageBox::Yes;
    }
    return false;
}

} // namespace mv::gui
