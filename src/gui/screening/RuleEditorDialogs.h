#pragma once
// The four rule editor windows: "Subject line options", "Sender characteristics", "Header
// characteristics" and "Accept e-mail from". Each shows the editor model it is given, writes the
// controls back into it on OK and lets the model accept or refuse; the settings window then puts
// the model into the table row. Open while the user edits one rule.
#include "gui/screening/EditorDialog.h"
#include "screening/ExceptionEditor.h"
#include "screening/HeaderEditor.h"
#include "screening/SenderEditor.h"
#include "screening/SubjectEditor.h"

#include <array>

class QButtonGroup;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;

namespace mv::gui {

class SubjectEditorDialog : public EditorDialog {
    Q_OBJECT
public:
    SubjectEditorDialog(SubjectEditor& editor, QWidget* parent = nullptr);

protected:
    void store() override;
    QWidget* fieldWidget(EditorField field) override;

private:
    void showFields();

    SubjectEditor& m_editor;
    QComboBox* m_condition;
    QComboBox* m_text;
    QCheckBox* m_case;
    MarkChoice* m_mark;
};

class SenderEditorDialog : public EditorDialog {
    Q_OBJECT
public:
    SenderEditorDialog(SenderEditor& editor, QWidget* parent = nullptr);

    // "Block out a country" after the country list closed with a choice.
    void applyCountry(const CountryChoice& country);

protected:
    void store() override;
    QWidget* fieldWidget(EditorField field) override;

private:
    void load();
    void showFields();

    SenderEditor& m_editor;
    QComboBox* m_part;
    QComboBox* m_condition;
    QComboBox* m_text;
    MarkChoice* m_mark;
    CountryChooser* m_country;
};

class HeaderEditorDialog : public EditorDialog {
    Q_OBJECT
public:
    HeaderEditorDialog(HeaderEditor& editor, QWidget* parent = nullptr);

    void applyCountry(const CountryChoice& country);

protected:
    void store() override;
    QWidget* fieldWidget(EditorField field) override;

private:
    void load();
    void showFields();
    HeaderEditor::Kind chosenKind() const;

    HeaderEditor& m_editor;
    std::array<QRadioButton*, 4> m_kinds{};
    QLineEdit* m_toText;
    QComboBox* m_mailbox;
    QWidget* m_toFields;
    QWidget* m_headerFields;
    QComboBox* m_condition;
    QComboBox* m_headerText;
    QCheckBox* m_case;
    MarkChoice* m_mark;
    CountryChooser* m_country;
};

class ExceptionEditorDialog : public EditorDialog {
    Q_OBJECT
public:
    ExceptionEditorDialog(ExceptionEditor& editor, QWidget* parent = nullptr);

protected:
    void store() override;
    QWidget* fieldWidget(EditorField field) override;
    void showEvent(QShowEvent* event) override;

private:
    void showFields();
    ExceptionEditor::Kind chosenKind() const;
    QWidget* kindField() const;

    ExceptionEditor& m_editor;
    std::array<QRadioButton*, 3> m_kinds{};
    QLineEdit* m_address;
    QLineEdit* m_domain;
    QWidget* m_domainFields;
    QWidget* m_fieldFields;
    QComboBox* m_fieldName;
    QComboBox* m_condition;
    QLineEdit* m_text;
    QCheckBox* m_case;
    QButtonGroup* m_pictures;
};

} // namespace mv::gui
