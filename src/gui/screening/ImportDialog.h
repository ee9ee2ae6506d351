#pragma once
// "Import new keywords": a box of pasted or typed lines, one rule each; OK drops a line that
// repeats the one before it. Open while the user pastes.
#include <QDialog>
#include <string>
#include <vector>

class QLabel;
class QPlainTextEdit;

namespace mv::gui {

class ImportDialog : public QDialog {
    Q_OBJECT
public:
    // `title`: "Import spam keywords" or "Import e-mail addresses".
    explicit ImportDialog(const QString& title, QWidget* parent = nullptr);

    QPlainTextEdit* box() const { return m_box; }
    // The box's lines as the dialog left them.
    std::vector<std::string> lines() const;
    // OK, as the button does it.
    void confirm();

private:
    QPlainTextEdit* m_box;
};

} // namespace mv::gui
