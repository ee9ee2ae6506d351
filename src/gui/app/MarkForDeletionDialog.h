#pragma once
// "Mark e-mail for deletion": the selected messages' subjects and senders, and whether to add
// subject rules, sender rules or both.
#include "screening/QuickAdd.h"

#include <QDialog>

class QCheckBox;

namespace mv::gui {

class TfrmMarkForDeletion final : public QDialog {
    Q_OBJECT
public:
    explicit TfrmMarkForDeletion(const SpamListChoice& choice, QWidget* parent = nullptr);
    // The choice with the two check boxes as the user left them.
    void readInto(SpamListChoice& choice) const;

private:
    QCheckBox* m_subjects;
    QCheckBox* m_senders;
};

} // namespace mv::gui
