#pragma once
// One rule-table page of the spam settings: its explanation, a filter box, the table, the buttons
// "&Insert", "&Edit", "&Delete", "&Print" (and "I&mport" where the table has one), up and down, and
// the count above "Conditions" or "Exceptions". The row operations are the rule-row logic's; the
// rule editor windows are opened through the runner the settings window hands in. Lives as long
// as the settings window.
#include "gui/screening/RuleTableModel.h"

#include <QWidget>
#include <functional>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSortFilterProxyModel;
class QTableView;

namespace mv::gui {

// Opens the table's rule editor for a new rule (insert) or for table row `row`, and writes the
// confirmed rule into the table. True when the table changed.
using RuleEditorRunner =
    std::function<bool(QWidget* parent, RuleTable& table, int row, bool insert)>;

// What tells the four pages apart: control names, texts, and whether "I&mport" is offered.
struct RulePageLayout {
    TableId id;
    const char* gridName;     // "gridSubject"
    const char* buttonSuffix; // "Subject": btAddSubject, btEditSubject, btUpSubject...
    const char* deleteName;   // "btDelSubject" (the header page's is "btDeleteHeader")
    const char* importName;   // "btImport", or null
    QString explanation;
    QString countWord; // "Conditions" or "Exceptions"
    QString testHint;  // the "Test a message" box's prompt; none when empty
};

class RuleTablePage : public QWidget {
    Q_OBJECT
public:
    RuleTablePage(RuleSet& rules, const RulePageLayout& layout, RuleEditorRunner editor,
                  QWidget* parent = nullptr);

    RuleTableModel* model() const { return m_model; }
    QTableView* view() const { return m_view; }
    TableId tableId() const { return m_model->tableId(); }

    // The table row of the current row; with none, 1 (0 while the filter hides rows). And
    // selecting one.
    int selectedRow() const;
    void selectRow(int tableRow);

    void insertRule();
    void editRule();
    void deleteRule();
    void moveUp();
    void moveDown();
    void print();
    // After the table was changed from outside (reload, import): the view and the count.
    void refresh();

    // Column widths for the settings store, by shown column.
    std::vector<int> columnWidths() const;
    void setColumnWidths(const std::vector<int>& widths);

signals:
    void importClicked();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void updateCount();
    QWidget* buildTestBox(const QString& hint);
    void showTestResult();
    void headingClicked(int section);

    RuleSet& m_rules;
    RuleEditorRunner m_editor;
    RuleTableModel* m_model;
    QSortFilterProxyModel* m_filter;
    QTableView* m_view;
    QLineEdit* m_filterBox;
    QLabel* m_count;
    QLineEdit* m_testText = nullptr;
    QPlainTextEdit* m_testResult = nullptr;
};

} // namespace mv::gui
