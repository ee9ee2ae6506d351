#include "gui/stats/DateRangeDialog.h"

#include "gui/stats/StatsDates.h"

#include <QDateEdit>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace mv::gui {

namespace {

QDateEdit* dateField(const QString& name) {
    auto* field = new QDateEdit;
    field->setObjectName(name);
    field->setCalendarPopup(true);
    field->setDisplayFormat(QLocale().dateFormat(QLocale::ShortFormat));
    return field;
}

QSpinBox* countField(const QString& name, int highest) {
    auto* field = new QSpinBox;
    field->setObjectName(name);
    field->setRange(1, highest);
    return field;
}

QRadioButton* option(const QString& name, const QString& text) {
    auto* button = new QRadioButton(text);
    button->setObjectName(name);
    return button;
}

} // namespace

DateRangeDialog::DateRangeDialog(const Clock& clock, QWidget* parent)
    : QDialog(parent), m_clock(clock),
      m_between(option(QStringLiteral("rbBetween"), QStringLiteral("between"))),
      m_months(option(QStringLiteral("rbMonths"), QStringLiteral("during the previous"))),
      m_days(option(QStringLiteral("rbDays"), QStringLiteral("during the previous"))),
      m_first(dateField(QStringLiteral("dtFirst"))),
      m_second(dateField(QStringLiteral("dtSecond"))),
      m_monthCount(countField(QStringLiteral("seMonths"), 12)),
      m_dayCount(countField(QStringLiteral("seDays"), 365)) {
    setObjectName(QStringLiteral("TfrmSelectDateRange"));
    setWindowTitle(QStringLiteral("Select Date Range"));

    auto* grid = new QGridLayout;
    grid->addWidget(m_between, 0, 0);
    grid->addWidget(m_first, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("and")), 0, 2);
    grid->addWidget(m_second, 0, 3);
    grid->addWidget(m_months, 1, 0);
    grid->addWidget(m_monthCount, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("months")), 1, 2);
    grid->addWidget(m_days, 2, 0);
    grid->addWidget(m_dayCount, 2, 1);
    grid->addWidget(new QLabel(QStringLiteral("days")), 2, 2);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("btOK"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("btCancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* heading = new QLabel(QStringLiteral("Select a date range"));
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(heading);
    layout->addLayout(grid);
    layout->addWidget(buttons);
    setFixedSize(sizeHint());

    m_between->setChecked(true);
    for (QRadioButton* button : {m_between, m_months, m_days})
        connect(button, &QRadioButton::toggled, this, &DateRangeDialog::enableChosenFields);
    for (QSpinBox* count : {m_monthCount, m_dayCount})
        connect(count, &QSpinBox::valueChanged, this, &DateRangeDialog::showCountedRange);
    connect(m_first, &QDateEdit::editingFinished, this, &DateRangeDialog::firstDateLeft);
    enableChosenFields();
}

void DateRangeDialog::preset(const DateRange& range) {
    m_first->setDate(toQDate(range.start));
    m_second->setDate(toQDate(range.end));
    showCountedRange();
}

void DateRangeDialog::showEvent(QShowEvent* event) {
    // Today may have moved on since the option was chosen.
    showCountedRange();
    QDialog::showEvent(event);
}

DateRange DateRangeDialog::range() const {
    const DateTime today = m_clock.now();
    if (m_months->isChecked()) return rangePreviousMonths(today, m_monthCount->value());
    if (m_days->isChecked()) return rangePreviousDays(today, m_dayCount->value());
    return rangeBetween(fromQDate(m_first->date()), fromQDate(m_second->date()));
}

void DateRangeDialog::enableChosenFields() {
    m_first->setEnabled(m_between->isChecked());
    m_second->setEnabled(m_between->isChecked());
    m_monthCount->setEnabled(m_months->isChecked());
    m_dayCount->setEnabled(m_days->isChecked());
    showCountedRange();
}

void DateRangeDialog::showCountedRange() {
    if (m_between->isChecked()) return; // the fields are the user's own
    const DateRange counted = range();
    m_first->setDate(toQDate(counted.start));
    m_second->setDate(toQDate(counted.end));
}

void DateRangeDialog::firstDateLeft() {
    if (m_first->date() > m_second->date()) m_second->setDate(m_first->date());
}

} // namespace mv::gui
