#include "age.h"

#include <utility>

#include "numbers.h"

AgeSpec parseAge(std::string_view yearsText, std::string_view monthsText, std::string_view daysText) {
    AgeSpec age;
    // Whole years alone ("40"), as most ages are: read at once.
    if (monthsText.empty() && daysText.empty() && !yearsText.empty() && yearsText.size() <= 9) {
        int32_t years = 0;
        bool digits = true;
        for (char c : yearsText) {
            if (c < '0' || c > '9') {
                digits = false;
                break;
            }
            years = years * 10 + (c - '0');  // nine digits at most: well inside 32 bits
        }
        if (digits) {
            age.years = years;
            return age;
        }
    }
    age.years = leadingNumber(yearsText);
    age.months = leadingNumber(monthsText);
    age.days = leadingNumber(daysText);

    size_t dash = yearsText.find('-');
    if (dash != std::string_view::npos) {
        age.kind = AgeKind::Range;
        std::string_view rest = yearsText.substr(dash + 1);
        age.rangeLow = leadingNumber(yearsText.substr(0, dash));
        age.rangeHigh = leadingNumber(rest.substr(0, rest.find('-')));
        // "30-20" and "5-" mean the same span as "20-30" and "-5".
        if (age.rangeLow > age.rangeHigh) std::swap(age.rangeLow, age.rangeHigh);
    } else if (size_t plus = yearsText.find('+'); plus != std::string_view::npos) {
        age.kind = AgeKind::AtLeast;
        age.atLeast = leadingNumber(yearsText.substr(0, plus));
    }
    if (int64_t{age.rangeLow} + age.rangeHigh != 0) age.years = age.rangeLow;
    if (age.atLeast != 0) age.years = age.atLeast;

    age.monthsGiven = !monthsText.empty() && age.kind == AgeKind::Plain;
    age.daysGiven = !daysText.empty() && age.kind == AgeKind::Plain;
    return age;
}
