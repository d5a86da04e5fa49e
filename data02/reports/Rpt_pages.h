#pragma once

namespace qff {

class Report;
class ReportGenerator;

// The built-in pages with a layout of their own, catalogue numbers 3 to 24,
// written into the generator's open page. kFailed for any other number.
int runBuiltInPage(ReportGenerator& generator, const Report& report, int number);

// Head-to-head, rotisserie, rosters, roster changes and owners: 3 to 6, 10
// to 13, 22 and 23. kFailed for any other number.
int runGamePage(ReportGenerator& generator, const Report& report, int number);

// Scoring system, schedules, draft day, top players and totals: 7 to 9, 14
// to 21 and 24. kFailed for any other number.
int runLeaguePage(ReportGenerator& generator, const Report& report, int number);

}  // namespace qff
