// "Select Date Range": only the chosen option's fields are enabled, each option gives its range
// from today (a month back from a day the month lacks ends on that month's last day), and leaving
// the first date after the second moves the second to it. The date fields show the range of a
// counted option as soon as it or its count is chosen, and again when the dialog is shown.
#include "gui/stats/DateRangeDialog.h"
#include "gui/stats/StatsDates.h"

#include <QDateEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <functional>
#include <gtest/gtest.h>

namespace mv {
namespace {

using gui::DateRangeDialog;

template <class W> W* field(QWidget* dialog, const char* name) {
    W* w = dialog->findChild<W*>(QString::fromLatin1(name));
    EXPECT_NE(w, nullptr) << name;
    return w;
}

QDate day(int y, int m, int d) {
    return QDate(y, m, d);
}

DateTime at(QDate date, double timeOfDay = 0) {
    return gui::fromQDate(date) + timeOfDay;
}

TEST(DateRangeDialog, OnlyTheChosenOptionsFieldsAreEnabled) {
    FixedClock clock(at(day(2024, 6, 20)));
    DateRangeDialog dialog(clock, nullptr);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Select Date Range"));
    EXPECT_TRUE(field<QRadioButton>(&dialog, "rbBetween")->isChecked());
    struct Case {
        const char* option;
        bool dates, months, days;
    };
    for (const Case& c : {Case{"rbMonths", false, true, false}, Case{"rbDays", false, false, true},
                          Case{"rbBetween", true, false, false}}) {
        SCOPED_TRACE(c.option);
        field<QRadioButton>(&dialog, c.option)->click();
        EXPECT_EQ(field<QDateEdit>(&dialog, "dtFirst")->isEnabled(), c.dates);
        EXPECT_EQ(field<QDateEdit>(&dialog, "dtSecond")->isEnabled(), c.dates);
        EXPECT_EQ(field<QSpinBox>(&dialog, "seMonths")->isEnabled(), c.months);
        EXPECT_EQ(field<QSpinBox>(&dialog, "seDays")->isEnabled(), c.days);
    }
    auto* months = field<QSpinBox>(&dialog, "seMonths");
    auto* days = field<QSpinBox>(&dialog, "seDays");
    EXPECT_EQ(std::make_pair(months->minimum(), months->maximum()), std::make_pair(1, 12));
    EXPECT_EQ(std::make_pair(days->minimum(), days->maximum()), std::make_pair(1, 365));
}

TEST(DateRangeDialog, EachOptionGivesItsRangeFromToday) {
    struct Case {
        const char* name;
        QDate today;
        const char* option;
        int count;
        QDate start, end;
    };
    const Case cases[] = {
        {"7 days", day(2024, 6, 20), "rbDays", 7, day(2024, 6, 13), day(2024, 6, 20)},
        {"365 days over a leap day", day(2024, 6, 20), "rbDays", 365, day(2023, 6, 21),
         day(2024, 6, 20)},
        {"1 month", day(2024, 6, 20), "rbMonths", 1, day(2024, 5, 20), day(2024, 6, 20)},
        {"into the previous year", day(2024, 2, 10), "rbMonths", 3, day(2023, 11, 10),
         day(2024, 2, 10)},
        {"12 months", day(2024, 1, 15), "rbMonths", 12, day(2023, 1, 15), day(2024, 1, 15)},
        // The 31st in a month of 30 days, and the 31st in a February: that month's last day.
        {"31st to 30 days", day(2024, 5, 31), "rbMonths", 1, day(2024, 4, 30), day(2024, 5, 31)},
        {"31st to a leap February", day(2024, 3, 31), "rbMonths", 1, day(2024, 2, 29),
         day(2024, 3, 31)},
        {"30th to February", day(2023, 3, 30), "rbMonths", 1, day(2023, 2, 28), day(2023, 3, 30)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FixedClock clock(at(c.today, 0.75)); // the time of day never reaches the range
        DateRangeDialog dialog(clock, nullptr);
        field<QRadioButton>(&dialog, c.option)->click();
        field<QSpinBox>(&dialog, c.option == std::string("rbDays") ? "seDays" : "seMonths")
            ->setValue(c.count);
        const DateRange range = dialog.range();
        EXPECT_EQ(range.start, at(c.start));
        EXPECT_EQ(range.end, at(c.end));
    }
}

TEST(DateRangeDialog, DateFieldsShowTheCountedOptionsRangeAtOnce) {
    FixedClock clock(at(day(2024, 6, 20), 0.5));
    DateRangeDialog dialog(clock, nullptr);
    dialog.preset({at(day(1998, 1, 1)), at(day(2024, 6, 20), 0.5)});
    auto choose = [&](const char* option) {
        return [&dialog, option] { field<QRadioButton>(&dialog, option)->click(); };
    };
    auto count = [&](const char* box, int n) {
        return [&dialog, box, n] { field<QSpinBox>(&dialog, box)->setValue(n); };
    };
    // Each step runs in turn on the same dialog, as a user would go through them.
    struct Step {
        const char* name;
        std::function<void()> act;
        QDate first, second;
    };
    const Step steps[] = {
        {"previous 1 day", choose("rbDays"), day(2024, 6, 19), day(2024, 6, 20)},
        {"previous 7 days", count("seDays", 7), day(2024, 6, 13), day(2024, 6, 20)},
        {"previous 1 month", choose("rbMonths"), day(2024, 5, 20), day(2024, 6, 20)},
        {"previous 3 months", count("seMonths", 3), day(2024, 3, 20), day(2024, 6, 20)},
        {"a days count while months are chosen", count("seDays", 30), day(2024, 3, 20),
         day(2024, 6, 20)},
        {"shown again on a later day",
         [&] {
             clock.set(at(day(2024, 7, 1), 0.25));
             dialog.preset({at(day(1998, 1, 1)), at(day(2024, 6, 20), 0.5)});
             dialog.show();
         },
         day(2024, 4, 1), day(2024, 7, 1)},
        {"a later day while the dialog is hidden, then shown",
         [&] {
             dialog.hide();
             clock.set(at(day(2024, 7, 2)));
             dialog.show();
         },
         day(2024, 4, 2), day(2024, 7, 2)},
        {"between keeps the dates last shown", choose("rbBetween"), day(2024, 4, 2),
         day(2024, 7, 2)},
        {"between takes a preset as it is",
         [&] {
             dialog.preset({at(day(1998, 1, 1)), at(day(2024, 6, 20))});
         },
         day(1998, 1, 1), day(2024, 6, 20)},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        step.act();
        EXPECT_EQ(field<QDateEdit>(&dialog, "dtFirst")->date(), step.first);
        EXPECT_EQ(field<QDateEdit>(&dialog, "dtSecond")->date(), step.second);
        const DateRange range = dialog.range();
        EXPECT_EQ(range.start, at(step.first)) << "the fields name what OK gives";
        EXPECT_EQ(range.end, at(step.second));
    }
}

TEST(DateRangeDialog, BetweenTakesBothDatesAndLeavingTheFirstPastTheSecondMovesIt) {
    FixedClock clock(at(day(2024, 6, 20), 0.5));
    DateRangeDialog dialog(clock, nullptr);
    dialog.preset({at(day(2024, 3, 1)), at(day(2024, 6, 20), 0.5)});
    auto* first = field<QDateEdit>(&dialog, "dtFirst");
    auto* second = field<QDateEdit>(&dialog, "dtSecond");
    EXPECT_EQ(first->date(), day(2024, 3, 1));
    EXPECT_EQ(second->date(), day(2024, 6, 20));
    EXPECT_EQ(dialog.range().end, at(day(2024, 6, 20)));

    first->setDate(day(2024, 4, 2));
    emit first->editingFinished();
    EXPECT_EQ(second->date(), day(2024, 6, 20));
    first->setDate(day(2024, 7, 4));
    emit first->editingFinished();
    EXPECT_EQ(second->date(), day(2024, 7, 4));
    EXPECT_EQ(dialog.range().start, at(day(2024, 7, 4)));
    EXPECT_EQ(dialog.range().end, at(day(2024, 7, 4)));
}

} // namespace
} // namespace mv
