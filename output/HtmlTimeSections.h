// The time and calendar sections of the HTML page: the charts and heat maps each time or
// calendar result shows, and a time stamp as people read it.
#pragma once

#include <string_view>

#include "output/HtmlSections.h"
#include "output/HtmlText.h"
#include "reports/ReportResult.h"

namespace quorlet3 {

// Bar charts and heat maps of the time reports.
void WriteTimeCounts(HtmlText& page, const TimeCountsResult& result);

// The calendar sections: the place of main-page or page records.
Place CalendarPlace(RecordKind records);

// A time stamp as people read it, "1998-07-15 13:45", its exact time in the element's
// datetime; a text that holds none is shown as it is.
void WriteTimeStamp(HtmlText& page, std::string_view id, std::string_view text);

// Accesses per date as a calendar: a heat map per year, a column per week (Sunday on
// top), the first week of each month labelled.
void WriteCalendarDates(HtmlText& page, const CalendarDatesResult& result);

void WriteCalendarMonths(HtmlText& page, const CalendarMonthsResult& result);

void WriteWeekdays(HtmlText& page, const WeekdaysResult& result);

// Weekdays down, hours across.
void WriteWeekHours(HtmlText& page, const WeekHoursResult& result);

}  // namespace quorlet3
