#include "data02/reports/Rpt_pages.h"

#include "data02/diag/Status.h"

namespace qff {

namespace {

bool isGamePage(int number) {
    return (number >= 3 && number <= 6) || (number >= 10 && number <= 13) || number == 22 ||
           number == 23;
}

bool isLeaguePage(int number) {
    return (number >= 7 && number <= 9) || (number >= 14 && number <= 21) || number == 24;
}

}  // namespace

int runBuiltInPage(ReportGenerator& generator, const Report& report, int number) {
    if (isGamePage(number)) {
        return runGamePage(generator, report, number);
    }
    if (isLeaguePage(number)) {
        return runLeaguePage(generator, report, number);
    }
    return kFailed;
}

}  // namespace qff
