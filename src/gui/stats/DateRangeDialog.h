#pragma once
// "Select Date Range": between two dates, during the previous n months, or during the previous n
// days. Lives as long as its statistics window and keeps its choices between showings.
#include "base/DateTime.h"
#include "stats/DateRange.h"

#include <QDialog>

class QDateEdit;
class QRadioButton;
class QSpinBox;

namespace mv::gui {

class DateRangeDialog : public QDialog {
public:
    DateRangeDialog(const Clock& clock, QWidget* parent);

    // Presets the two date fields; under "previous n months/days" they show that range instead.
    void preset(const DateRange& range);
    // The range of the chosen option, worked out from today.
    DateRange range() const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void enableChosenFields();
    // The date fields name the range a counted option gives, so the user sees it before OK.
    void showCountedRange();
    void firstDateLeft();

    const Clock& m_clock;
    QRadioButton* m_between;
    QRadioButton* m_months;
    QRadioButton* m_days;
    QDateEdit* m_first;
    QDateEdit* m_second;
    QSpinBox* m_monthCount;
    QSpinBox* m_dayCount;
};

} // namespace mv::gui
