#include "gui/screening/RuleTablePage.h"

#include "gui/widgets/Pictures.h"
#include "gui/widgets/TablePrinter.h"
#include "screening/RuleRows.h"
#include "screening/RuleTester.h"
#include "screening/SpamSettings.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

namespace mv::gui {
namespace {

QPushButton* button(const QString& caption, const QString& name, QWidget* parent) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    return b;
}

QToolButton* arrowButton(ButtonPicture picture, Qt::ArrowType arrow, const QString& hint,
                         const QString& name, QWidget* parent) {
    auto* b = new QToolButton(parent);
    b->setObjectName(name);
    const QIcon icon = buttonIcon(picture);
    if (icon.pixmap(16).isNull()) // without its artwork
        b->setArrowType(arrow);
    else
        b->setIcon(icon);
    b->setToolTip(hint);
    b->setAccessibleName(hint);
    return b;
}

// A line edit passes Enter on to the window, where it would press the default button: OK, which
// saves and closes.
bool isEnterKey(const QKeyEvent* key) {
    return key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
}

// Widths that show a typical rule whole; the user's own are remembered over them.
std::vector<int> defaultWidths(TableId id) {
    switch (id) {
    case TableId::Sender:
        return {26, 110, 130, 210, 45, 55};
    case TableId::Exceptions:
        return {110, 95, 230, 50, 55, 50};
    default:
        return {26, 150, 230, 50, 45, 55};
    }
}

} // namespace

RuleTablePage::RuleTablePage(RuleSet& rules, const RulePageLayout& layout, RuleEditorRunner editor,
                             QWidget* parent)
    : QWidget(parent), m_rules(rules), m_editor(std::move(editor)),
      m_model(new RuleTableModel(rules, layout.id, this)),
      m_filter(new QSortFilterProxyModel(this)), m_view(new QTableView(this)),
      m_filterBox(new QLineEdit(this)), m_count(new QLabel(this)) {
    const QString suffix = QLatin1String(layout.buttonSuffix);
    m_filter->setSourceModel(m_model);
    m_filter->setFilterCaseSensitivity(Qt::CaseInsensitive);
    m_filter->setFilterKeyColumn(m_model->modelColumn(matchesColumn(layout.id)));

    m_view->setObjectName(QLatin1String(layout.gridName));
    m_view->setModel(m_filter);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setSelectionMode(QAbstractItemView::SingleSelection);
    m_view->setEditTriggers(QAbstractItemView::SelectedClicked | QAbstractItemView::AnyKeyPressed);
    m_view->verticalHeader()->hide();
    m_view->verticalHeader()->setDefaultSectionSize(m_view->fontMetrics().height() + 6);
    m_view->horizontalHeader()->setSectionsClickable(true);
    m_view->horizontalHeader()->setStretchLastSection(false);
    m_view->installEventFilter(this);
    connect(m_view->horizontalHeader(), &QHeaderView::sectionClicked, this,
            &RuleTablePage::headingClicked);
    connect(m_view, &QTableView::doubleClicked, this, &RuleTablePage::editRule);

    m_filterBox->setObjectName(QStringLiteral("edFilter") + suffix);
    m_filterBox->setPlaceholderText(QStringLiteral("Show only rules whose Matches contain..."));
    m_filterBox->setClearButtonEnabled(true);
    connect(m_filterBox, &QLineEdit::textChanged, m_filter,
            &QSortFilterProxyModel::setFilterFixedString);
    m_filterBox->installEventFilter(this);

    auto* explanation = new QLabel(layout.explanation, this);
    explanation->setWordWrap(true);
    m_count->setObjectName(QStringLiteral("lbCount") + suffix);
    m_count->setAlignment(Qt::AlignCenter);
    QFont big = m_count->font();
    big.setBold(true);
    big.setPointSize(big.pointSize() + 4);
    m_count->setFont(big);

    auto* side = new QVBoxLayout;
    side->addWidget(m_count);
    side->addWidget(new QLabel(layout.countWord, this), 0, Qt::AlignHCenter);
    side->addSpacing(8);
    auto* insert = button(QStringLiteral("&Insert"), QStringLiteral("btAdd") + suffix, this);
    auto* edit = button(QStringLiteral("&Edit"), QStringLiteral("btEdit") + suffix, this);
    auto* del = button(QStringLiteral("&Delete"), QLatin1String(layout.deleteName), this);
    auto* print = button(QStringLiteral("&Print"), QStringLiteral("btPrint") + suffix, this);
    for (QPushButton* b : {insert, edit, del, print})
        side->addWidget(b);
    connect(insert, &QPushButton::clicked, this, &RuleTablePage::insertRule);
    connect(edit, &QPushButton::clicked, this, &RuleTablePage::editRule);
    connect(del, &QPushButton::clicked, this, &RuleTablePage::deleteRule);
    connect(print, &QPushButton::clicked, this, &RuleTablePage::print);
    if (layout.importName) {
        auto* import = button(QStringLiteral("I&mport"), QLatin1String(layout.importName), this);
        side->addWidget(import);
        connect(import, &QPushButton::clicked, this, &RuleTablePage::importClicked);
    }
    auto* arrows = new QHBoxLayout;
    auto* up = arrowButton(ButtonPicture::Up, Qt::UpArrow, QStringLiteral("Move item up one row"),
                           QStringLiteral("btUp") + suffix, this);
    auto* down =
        arrowButton(ButtonPicture::Down, Qt::DownArrow, QStringLiteral("Move item down one row"),
                    QStringLiteral("btDown") + suffix, this);
    arrows->addWidget(up);
    arrows->addWidget(down);
    side->addLayout(arrows);
    side->addStretch();
    connect(up, &QToolButton::clicked, this, &RuleTablePage::moveUp);
    connect(down, &QToolButton::clicked, this, &RuleTablePage::moveDown);

    auto* tableColumn = new QVBoxLayout;
    tableColumn->addWidget(m_filterBox);
    tableColumn->addWidget(m_view, 1);
    if (!layout.testHint.isEmpty()) tableColumn->addWidget(buildTestBox(layout.testHint));
    auto* main = new QHBoxLayout;
    main->addLayout(tableColumn, 1);
    main->addLayout(side);
    auto* outer = new QVBoxLayout(this);
    outer->addWidget(explanation);
    outer->addLayout(main, 1);
    refresh();
    setColumnWidths(defaultWidths(layout.id));
}

QWidget* RuleTablePage::buildTestBox(const QString& hint) {
    auto* box = new QWidget(this);
    m_testText = new QLineEdit(box);
    m_testText->setObjectName(QStringLiteral("edTest") + m_view->objectName().mid(4));
    m_testText->setPlaceholderText(hint);
    m_testText->setClearButtonEnabled(true);
    m_testResult = new QPlainTextEdit(box);
    m_testResult->setObjectName(QStringLiteral("memoTest") + m_view->objectName().mid(4));
    m_testResult->setReadOnly(true);
    m_testResult->setFixedHeight(m_testResult->fontMetrics().height() * 5 + 10);
    m_testResult->hide();
    auto* row = new QHBoxLayout;
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(new QLabel(QStringLiteral("Test a message:"), box));
    row->addWidget(m_testText, 1);
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(row);
    layout->addWidget(m_testResult);
    connect(m_testText, &QLineEdit::textChanged, this, &RuleTablePage::showTestResult);
    m_testText->installEventFilter(this);
    return box;
}

void RuleTablePage::showTestResult() {
    if (!m_testText) return;
    const QString text = m_testText->text();
    m_testResult->setVisible(!text.isEmpty());
    if (text.isEmpty()) return;
    QStringList lines;
    for (const std::string& line : testRulesOn(m_rules, tableId(), text.toStdString()))
        lines << QString::fromStdString(line);
    m_testResult->setPlainText(lines.join(QLatin1Char('\n')));
}

int RuleTablePage::selectedRow() const {
    const QModelIndex current = m_filter->mapToSource(m_view->currentIndex());
    if (current.isValid()) return RuleTableModel::tableRow(current.row());
    // Without a current row the first rule counts as selected, as in a grid; but not while the
    // filter hides rows: Delete must never act on a rule the user cannot see.
    return m_filterBox->text().isEmpty() ? 1 : 0;
}

void RuleTablePage::selectRow(int tableRow) {
    const QModelIndex source = m_model->index(RuleTableModel::modelRow(tableRow), 1);
    const QModelIndex shown = m_filter->mapFromSource(source);
    if (!shown.isValid()) return;
    m_view->setCurrentIndex(shown);
    m_view->selectRow(shown.row());
}

void RuleTablePage::updateCount() {
    m_count->setText(QString::fromStdString(countText(m_model->table())));
}

void RuleTablePage::refresh() {
    const int row = selectedRow();
    m_model->refresh();
    selectRow(std::min(row, m_model->table().rowCount() - 1));
    updateCount();
    showTestResult();
}

void RuleTablePage::insertRule() {
    const int selected = selectedRow();
    const int before = m_model->table().rowCount();
    if (!m_editor(this, m_model->table(), selected, true)) return;
    refresh();
    // The new rule sits where the selection was (or fills the empty row): select it.
    selectRow(m_model->table().rowCount() > before ? selected : 1);
}

void RuleTablePage::editRule() {
    const int row = selectedRow();
    if (m_editor(this, m_model->table(), row, false)) refresh();
    selectRow(row);
}

void RuleTablePage::deleteRule() {
    deleteRuleRow(m_model->table(), selectedRow());
    refresh();
}

void RuleTablePage::moveUp() {
    const int row = moveRuleRowUp(m_model->table(), selectedRow());
    refresh();
    selectRow(row);
}

void RuleTablePage::moveDown() {
    const int row = moveRuleRowDown(m_model->table(), selectedRow());
    refresh();
    selectRow(row);
}

void RuleTablePage::print() {
    printTableWithDialog(this, QString::fromUtf8(printTitle(tableId()).data()), *m_model);
}

void RuleTablePage::headingClicked(int section) {
    if (!m_model->isSortable(section)) return;
    m_model->sort(section);
    selectRow(1);
}

std::vector<int> RuleTablePage::columnWidths() const {
    std::vector<int> widths;
    for (int c = 0; c < m_model->columnCount(); ++c)
        widths.push_back(m_view->columnWidth(c));
    return widths;
}

void RuleTablePage::setColumnWidths(const std::vector<int>& widths) {
    for (int c = 0; c < m_model->columnCount() && c < int(widths.size()); ++c)
        if (widths[std::size_t(c)] > 0) m_view->setColumnWidth(c, widths[std::size_t(c)]);
}

bool RuleTablePage::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return QWidget::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    if (watched == m_filterBox || (m_testText && watched == m_testText))
        return isEnterKey(key); // both act as the user types: Enter has nothing left to do
    if (watched != m_view) return QWidget::eventFilter(watched, event);
    const bool ctrl = key->modifiers() & Qt::ControlModifier;
    switch (key->key()) {
    case Qt::Key_Insert:
        insertRule();
        return true;
    case Qt::Key_Delete:
        deleteRule();
        return true;
    case Qt::Key_F2: // not Enter: it also ends a typed cell, and reaches the view after that
        editRule();
        return true;
    case Qt::Key_Up:
        if (!ctrl) return false;
        moveUp();
        return true;
    case Qt::Key_Down:
        if (!ctrl) return false;
        moveDown();
        return true;
    default:
        return false;
    }
}

} // namespace mv::gui
