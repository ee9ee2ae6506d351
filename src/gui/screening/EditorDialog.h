#pragma once
// What the four rule editor windows share: OK that asks the editor model to accept the rule and,
// when it refuses, shows the refusal and puts the focus on the field it names; the condition
// drop-down; the editable text field with its suggestions; and the "Mark message with :" choice.
// Each window shows one editor model and lives while it is open.
#include "screening/CountryList.h"
#include "screening/EditorChoices.h"

#include <QDialog>
#include <functional>
#include <optional>

class QCheckBox;
class QComboBox;
class QDialogButtonBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QVBoxLayout;

namespace mv::gui {

class EditorDialog : public QDialog {
    Q_OBJECT
public:
    // `verdict`: the editor model's OK, run after store().
    EditorDialog(std::function<std::optional<EditorRefusal>()> verdict, QWidget* parent);

    // OK, as the button does it; tests and the keyboard reach it the same way.
    void confirm();

protected:
    // The controls into the model.
    virtual void store() = 0;
    virtual QWidget* fieldWidget(EditorField field) = 0;

    // The dialog's content goes here; OK and Cancel follow below it.
    QVBoxLayout* body() { return m_body; }
    void finishLayout();

private:
    std::function<std::optional<EditorRefusal>()> m_verdict;
    QVBoxLayout* m_body;
    QDialogButtonBox* m_buttons;
};

// The condition drop-down with the first `offered` labels; the index follows the model's choice.
QComboBox* conditionBox(int offered, QWidget* parent);
void showCondition(QComboBox* box, std::optional<int> index);
std::optional<int> chosenCondition(const QComboBox* box);

// An editable drop-down offering `suggestions`, any other text allowed.
QComboBox* suggestionBox(const std::vector<std::string_view>& suggestions, const QString& name,
                         QWidget* parent);
QString comboText(const QComboBox* box);

// "Mark message with :" with "check mark" and "question mark" and the note below them.
class MarkChoice : public QWidget {
    Q_OBJECT
public:
    explicit MarkChoice(QWidget* parent);
    void setDeleteMark(bool on);
    bool deleteMark() const;

private:
    QRadioButton* m_check;
    QRadioButton* m_question;
};

// "Block out a country" with the chosen country's name beside it: the button opens the country
// list and hands on the choice.
class CountryChooser : public QWidget {
    Q_OBJECT
public:
    explicit CountryChooser(QWidget* parent);
    void showChoice(bool buttonShown, const std::string& countryName);

signals:
    void chosen(const CountryChoice& country);

private:
    QPushButton* m_button;
    QLabel* m_name;
};

// "&Check if case matters (upper/lower)".
QCheckBox* caseBox(QWidget* parent);

} // namespace mv::gui
