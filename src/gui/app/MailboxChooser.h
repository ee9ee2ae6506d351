#pragma once
// The mailbox chooser "Which Mail Box?": one line per configured mailbox in a drop-down list.
#include <QDialog>
#include <QStringList>

class QComboBox;

namespace mv::gui {

class TfrmWhichMailbox final : public QDialog {
    Q_OBJECT
public:
    // `preselected` is an index into `lines` (-1: the first).
    TfrmWhichMailbox(const QStringList& lines, int preselected, QWidget* parent = nullptr);
    int chosenIndex() const;

private:
    QComboBox* m_which;
};

} // namespace mv::gui
