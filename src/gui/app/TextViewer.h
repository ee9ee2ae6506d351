#pragma once
// The text viewer "View Selected Headers": a heading chosen by its mode, the text, and OK (also
// Enter and Esc). Shows the header blocks, the reasons for a mark, or a message body.
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
    QLabel* m_heading;
    QPlainTextEdit* m_text;
};

} // namespace mv::gui
