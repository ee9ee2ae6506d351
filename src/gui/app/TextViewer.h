#pragma once
// The text viewer "View Selected Headers": a heading chosen by its mode, the text, and OK (also
// Enter and Esc). Shows the header blocks, the reasons for a mark, or a message body. A long text
// goes in piece by piece from the event loop, so megabytes of body never freeze the windows.
#include "app/View.h"

#include <QDialog>

class QLabel;
class QPlainTextEdit;

namespace mv::gui {

class TfrmViewHeader final : public QDialog {
    Q_OBJECT
public:
    explicit TfrmViewHeader(QWidget* parent = nullptr);

    void setContent(ViewerMode mode, const QString& text);
    static QString heading(ViewerMode mode);

private:
    // Appends the next piece of m_whole and schedules the one after it.
    void appendPiece();

    QLabel* m_heading;
    QPlainTextEdit* m_text;
    QString m_whole;
    qsizetype m_shown = 0; // how much of m_whole is in the text field
};

} // namespace mv::gui
