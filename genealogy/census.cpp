#include "census.h"

#include <array>
#include <limits>

#include "date_text.h"

namespace quillark {

namespace {

using std::chrono::April;
using std::chrono::August;
using std::chrono::day;
using std::chrono::January;
using std::chrono::June;
using std::chrono::March;
using std::chrono::year;

constexpr std::string_view EnglandAndWales = "England and Wales";
constexpr std::string_view UnitedStates = "United States";

constexpr Date on(int y, std::chrono::month m, unsigned d) { return year{y} / m / day{d}; }

// England and Wales. From 1841 each census counted the people who spent one
// Sunday night in each house; the day below is that Sunday, the night the
// ages refer to.
//
// Sources:
// - Devon County Council Record Office, "General Information on the Census":
//   "Censuses were taken on the night of Sunday/Monday as follows: 6th June
//   1841, 30th March 1851, 7th April 1861, 2nd April 1871, 3rd April 1881,
//   5th April 1891, 31st March 1901".
// - Census of Great Britain, 1841, Enumeration Abstract (Parliamentary
//   Papers; online at A Vision of Britain through Time, GB1841ABS_1): the
//   census "was taken on the 7th of June, 1841" -- the Monday on which the
//   schedules for the Sunday night were collected, so the night is 6 June.
//   The enumerators' directions printed in the 1841 books: "Write the age of
//   every person under 15 years of age as it is stated to you. For persons
//   aged 15 years and upwards, write the lowest of the term of 5 years within
//   which the age is", with the table "15 years and under 20 write 15 ...".
// - 1911: the household schedule (The National Archives, RG 14) lists every
//   person who "passed the night of Sunday, April 2nd, 1911" in the dwelling.
// - 1921: Census of England and Wales 1921, General Report with Appendices,
//   p. 4 (as cited by E. Higgs for the Online Historical Population Reports,
//   histpop.org): the day set for 24 April was changed to 19 June because of
//   the coal stoppage; The Times of 18 June 1921: "Sunday night ... the date
//   has been moved from April 24 to June 19".
// - Ages from 1851: "Age at last birthday" (the column heading of the
//   1851-1911 books and schedules).
//
// United States. The census day is the day "as of" which every answer was
// to be given, whenever the enumerator called.
//
// Sources:
// - U.S. Census Bureau, History, "Demographic FAQs": "From 1790 to 1820, the
//   censuses were conducted as of the first Monday in August (August 2, 1790;
//   August 4, 1800; August 6, 1810; August 7, 1820); the 1830-1880 and 1900
//   censuses were as of June 1; the 1890 census was as of June 2; April 15
//   was Census Day in 1910; and the 1920 census was as of January 1. Since
//   1930, Census Day has been April 1."
// - U.S. National Archives, History Hub, "1950 Census: The Official Census
//   Day, April 1, 1950" (1 April 2021): the same days, 1790 to 1950, with
//   "1890: June 2 (June 1 was a Sunday)", and the 1950 Enumerator's Manual,
//   paragraph 68: "The Census must count all persons living in the United
//   States on April 1, 1950".
// - 1890: U.S. Census Bureau, "Information about the 1890 Census": "The
//   enumeration began on June 2, 1890, because June 1 was a Sunday." The
//   Census Office's own circular of 1 May 1890 says the census "is to be
//   taken as of June 1, 1890"; the Bureau and the Archives both give 2 June
//   as the census day, and that is the day used here. Only a birthday on
//   1 or 2 June 1890 tells the two apart.
// - Ages 1910-1950: Social Security Administration, POMS GN 00302.710 "Age
//   Information in Census Records": "age at last birthday" as of the Census
//   Day (1900 asked month and year of birth as well as the age).
// - 1790-1840 counted ages in brackets only ("of 10 and under 16"); such a
//   bracket is entered as a range, 10-15, and read as last-birthday ages.
constexpr std::array<Census, 26> Censuses = {{
    {"EW1841", EnglandAndWales, on(1841, June, 6), CensusAgeRule::RoundedDownToFive,
     "night of Sunday 6 June; Enumeration Abstract 1841; Devon County Record Office"},
    {"EW1851", EnglandAndWales, on(1851, March, 30), CensusAgeRule::LastBirthday,
     "night of Sunday 30 March; Devon County Record Office"},
    {"EW1861", EnglandAndWales, on(1861, April, 7), CensusAgeRule::LastBirthday,
     "night of Sunday 7 April; Devon County Record Office"},
    {"EW1871", EnglandAndWales, on(1871, April, 2), CensusAgeRule::LastBirthday,
     "night of Sunday 2 April; Devon County Record Office"},
    {"EW1881", EnglandAndWales, on(1881, April, 3), CensusAgeRule::LastBirthday,
     "night of Sunday 3 April; Devon County Record Office"},
    {"EW1891", EnglandAndWales, on(1891, April, 5), CensusAgeRule::LastBirthday,
     "night of Sunday 5 April; Devon County Record Office"},
    {"EW1901", EnglandAndWales, on(1901, March, 31), CensusAgeRule::LastBirthday,
     "night of Sunday 31 March; Devon County Record Office"},
    {"EW1911", EnglandAndWales, on(1911, April, 2), CensusAgeRule::LastBirthday,
     "night of Sunday 2 April; the 1911 household schedule (RG 14)"},
    {"EW1921", EnglandAndWales, on(1921, June, 19), CensusAgeRule::LastBirthday,
     "night of Sunday 19 June, moved from 24 April; General Report 1921, p. 4"},
    {"US1790", UnitedStates, on(1790, August, 2), CensusAgeRule::LastBirthday,
     "first Monday in August; Census Bureau, National Archives"},
    {"US1800", UnitedStates, on(1800, August, 4), CensusAgeRule::LastBirthday,
     "first Monday in August; Census Bureau, National Archives"},
    {"US1810", UnitedStates, on(1810, August, 6), CensusAgeRule::LastBirthday,
     "first Monday in August; Census Bureau, National Archives"},
    {"US1820", UnitedStates, on(1820, August, 7), CensusAgeRule::LastBirthday,
     "first Monday in August; Census Bureau, National Archives"},
    {"US1830", UnitedStates, on(1830, June, 1), CensusAgeRule::LastBirthday,
     "Census Bureau, National Archives"},
    {"US1840", UnitedStates, on(1840, June, 1), CensusAgeRule::LastBirthday,
     "Census Bureau, National Archives"},
    {"US1850", UnitedStates, on(1850, June, 1), CensusAgeRule::LastBirthday,
     "Census Bureau, National Archives"},
    {"US1860", UnitedStates, on(1860, June, 1), CensusAgeRule::LastBirthday,
     "Census Bureau, National Archives"},
    {"US1870", UnitedStates, on(1870, June, 1), CensusAgeRule::LastBirthday,
     "Census Bureau, National Archives"},
    {"US1880", UnitedStates, on(1880, June, 1), CensusAgeRule::LastBirthday,
     "Census Bureau, National Archives"},
    {"US1890", UnitedStates, on(1890, June, 2), CensusAgeRule::LastBirthday,
     "1 June was a Sunday; Census Bureau, National Archives"},
    {"US1900", UnitedStates, on(1900, June, 1), CensusAgeRule::LastBirthday,
     "Census Bureau, National Archives"},
    {"US1910", UnitedStates, on(1910, April, 15), CensusAgeRule::LastBirthday,
     "Census Bureau, National Archives"},
    {"US1920", UnitedStates, on(1920, January, 1), CensusAgeRule::LastBirthday,
     "Census Bureau, National Archives"},
    {"US1930", UnitedStates, on(1930, April, 1), CensusAgeRule::LastBirthday,
     "Census Bureau, National Archives"},
    {"US1940", UnitedStates, on(1940, April, 1), CensusAgeRule::LastBirthday,
     "Census Bureau, National Archives"},
    {"US1950", UnitedStates, on(1950, April, 1), CensusAgeRule::LastBirthday,
     "Enumerator's Manual 1950, par. 68; Census Bureau, National Archives"},
}};

// The youngest age the 1841 rule widens: younger children were written down
// at the age stated.
constexpr int32_t FirstRoundedAge = 15;

// Four years more, as the calculator reads a bound too large for it.
int32_t fourMore(int32_t years) {
    return years > std::numeric_limits<int32_t>::max() - 4 ? std::numeric_limits<int32_t>::max() : years + 4;
}

// The age read as a years range low to high, as the fields would hold it.
AgeSpec rangeOf(const AgeSpec& read, int32_t low, int32_t high) {
    AgeSpec age = read;
    age.kind = AgeKind::Range;
    age.rangeLow = low;
    age.rangeHigh = high;
    age.atLeast = 0;
    age.years = low;
    age.monthsGiven = age.daysGiven = false;
    return age;
}

}  // namespace

std::span<const Census> censusTable() { return Censuses; }

const Census* findCensus(std::string_view name) {
    name = trimBlanks(name);
    for (const Census& census : Censuses)
        if (equalsIgnoringCase(name, census.name)) return &census;
    return nullptr;
}

CensusAge applyCensusRule(const Census& census, const AgeSpec& age, bool monthsOrDaysGiven) {
    CensusAge result;
    if (census.rule != CensusAgeRule::RoundedDownToFive || monthsOrDaysGiven) return result;

    auto warnIfUnrounded = [&](int32_t value) {
        if (value >= FirstRoundedAge && value % 5 != 0 && result.warning.empty()) {
            const std::string years = std::to_string(value);
            result.warning = std::string(census.name) + " wrote ages of 15 and over rounded down to a multiple of 5; " +
                             years + " is not one and is read as " + years + " to " +
                             std::to_string(int64_t{value} + 4);
        }
    };
    switch (age.kind) {
    case AgeKind::Plain:
        if (age.years >= FirstRoundedAge) {
            warnIfUnrounded(age.years);
            result.age = rangeOf(age, age.years, fourMore(age.years));
        }
        break;
    case AgeKind::Range:
        if (age.rangeHigh >= FirstRoundedAge) {
            warnIfUnrounded(age.rangeLow);
            warnIfUnrounded(age.rangeHigh);
            result.age = rangeOf(age, age.rangeLow, fourMore(age.rangeHigh));
        }
        break;
    case AgeKind::AtLeast:
        // "60+" already reaches any age above 60; only its lower end counts.
        warnIfUnrounded(age.atLeast);
        break;
    }
    return result;
}

bool isCensusDay(const Census& census, const DateParts& date) {
    return date.year == yearOf(census.day) && (date.form == DateForm::YearOnly || date.month == monthOf(census.day)) &&
           (date.form != DateForm::FullDate || date.day == dayOf(census.day));
}

}  // namespace quillark
