#pragma once
// "Internet WWW Country Suffixes": the fixed country list in two columns; OK or a double click
// hands back the chosen row's suffix and name. Open while the user picks.
#include "screening/CountryList.h"

#include <QDialog>
#include <optional>

class QTreeWidget;

namespace mv::gui {

class CountryListDialog : public QDialog {
    Q_OBJECT
public:
    explicit CountryListDialog(QWidget* parent = nullptr);

    // Valid after the dialog closed with OK; nothing when no row was selected.
    const std::optional<CountryChoice>& choice() const { return m_choice; }
    QTreeWidget* list() const { return m_list; }
    // OK, as the button and a double click do it.
    void take();

private:
    QTreeWidget* m_list;
    std::optional<CountryChoice> m_choice;
};

// Shows the list modally; the choice, or nothing on Cancel or without a selection.
std::optional<CountryChoice> pickCountry(QWidget* parent);

} // namespace mv::gui
