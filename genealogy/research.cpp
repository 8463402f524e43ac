#include "research.h"

#include <algorithm>
#include <cstdio>
#include <utility>

#include "date_text.h"
#include "shown_texts.h"

namespace quillark {

namespace {

// Whether the text of a field holds anything but blanks.
bool given(std::string_view text) { return !trimBlanks(text).empty(); }

void refuse(ResearchAnswer& a, std::string problem) {
    a.outcome = ResearchOutcome::IllegalDate;
    a.dateProblem = std::move(problem);
    a.entry.box = EntryBox::IllegalDate;
    a.entry.caption = IllegalDateCaption;
    a.entry.text = {};
}

}  // namespace

std::string_view ResearchAnswer::shown(Field field) const {
    // A computed age is the engine's, census or not.
    if (field == Field::Years && census != nullptr && entry.missing != MissingFact::Age) return yearsAsWritten;
    return entry.fields[fieldIndex(field)];
}

const ResearchAnswer& ResearchPipeline::answer(const ResearchRequest& request) {
    ResearchAnswer& a = answer_;
    a.outcome = ResearchOutcome::Ok;
    a.census = nullptr;
    a.entry.missing = MissingFact::None;
    a.warnings.clear();
    a.citation.clear();
    a.birthWindow.reset();
    a.dateProblem.clear();

    // The forms researchers copy become the calculator's own; fields in the
    // window's own forms go to the engine as they are.
    EntryRequest entry;
    entry.fields = request.fields;
    const ResearcherDates* dates = nullptr;  // the dates the forms read, when they were asked
    if (request.researcherForms && mayHoldResearcherForms(request.fields)) {
        dates = &dates_;
        for (size_t i = 0; i < FieldCount; ++i) rewritten_[i].assign(request.fields[i]);
        translateResearcherForms(rewritten_, dates_, a.warnings);
        for (const DateReading* reading : {&dates_.event, &dates_.birth}) {
            if (!reading->problem.empty()) {
                refuse(a, reading->problem);
                return a;
            }
        }
        for (size_t i = 0; i < FieldCount; ++i) entry.fields[i] = rewritten_[i];
        entry.eventDate = dates_.event.date;
        entry.birthDate = dates_.birth.date;
    }
    const std::array<std::string_view, FieldCount>& fields = entry.fields;
    entry.abbreviated = request.abbreviated;
    entry.weekDay = request.weekDay;
    entry.remembered = request.remembered;
    entry.datesShown = request.datesShown;

    const std::string_view censusName = trimBlanks(request.census);
    if (!censusName.empty()) {
        const Census* census = findCensus(censusName);
        if (census == nullptr) {
            a.outcome = ResearchOutcome::CensusError;
            a.censusFailure = {CensusProblem::UnknownName, std::string(censusName), {}, nullptr};
            return a;
        }
        // An event date given as well must be the census day, or a month or
        // year holding it, as the display reads it.
        const std::string_view event = fields[fieldIndex(Field::Event)];
        if (given(event)) {
            EntryCode code;
            DateParts date;
            if (const std::optional<DateParts>& typed = entry.eventDate) {
                code = checkDate(*typed);
                // The census day is a Gregorian one.
                date = typed->calendar == Calendar::Julian && typed->form == DateForm::FullDate && validDate(*typed)
                           ? partsOf(firstDay(*typed))
                           : *typed;
            } else {
                FieldDate read;
                code = readDate(event, false, false, scratch_, read);
                date = read.kind == FieldKind::Text ? readDateParts(beforeTag(read.text)) : read.date;
            }
            if (code != EntryCode::None || !isCensusDay(*census, date)) {
                a.outcome = ResearchOutcome::CensusError;
                a.censusFailure = {CensusProblem::NotCensusDay, std::string(censusName),
                                   std::string(trimBlanks(event)), census};
                return a;
            }
        }
        a.census = census;
        a.yearsAsWritten.assign(fields[fieldIndex(Field::Years)]);
        entry.eventDate = partsOf(census->day);
        // Months or days in their own fields make the age exact.
        const bool monthsOrDays = given(fields[fieldIndex(Field::Months)]) || given(fields[fieldIndex(Field::Days)]);
        CensusAge age = applyCensusRule(
            *census,
            parseAge(fields[fieldIndex(Field::Years)], fields[fieldIndex(Field::Months)],
                     fields[fieldIndex(Field::Days)]),
            monthsOrDays);
        entry.age = age.age;
        if (!age.warning.empty()) a.warnings.push_back(std::move(age.warning));
    }

    const bool julian = (entry.eventDate && entry.eventDate->calendar == Calendar::Julian) ||
                        (entry.birthDate && entry.birthDate->calendar == Calendar::Julian);
    if ((julian || request.gregorianFrom) && !reckonCalendars(request, dates, entry, a)) return a;

    answerRequest(entry, a.entry);
    switch (a.entry.box) {
    case EntryBox::None: break;
    case EntryBox::IllegalDate: a.outcome = ResearchOutcome::IllegalDate; return a;
    case EntryBox::Calculation: a.outcome = ResearchOutcome::CalculationError; return a;
    }
    if (request.cite) citeAnswer(a.entry, request.gedcom, a.citation, a.warnings);
    if (request.birthWindow) a.birthWindow = recordBirthWindow(a.entry);

    // A window reaching across the change covers both ways of keeping a
    // birthday.
    const MissingFact fact = a.entry.missing;
    if (request.gregorianFrom && (fact == MissingFact::BirthDate || fact == MissingFact::EventDate)) {
        const DateParts& from = fact == MissingFact::BirthDate ? a.entry.inputs.event : a.entry.inputs.birth;
        bool widened = false;
        if (a.citation.known) widened |= widenAcrossChange(a.citation.window.dates, from, *request.gregorianFrom);
        if (a.birthWindow && fact == MissingFact::BirthDate)
            widened |= widenAcrossChange(*a.birthWindow, from, *request.gregorianFrom);
        if (widened) {
            a.warnings.push_back("The window crosses the change to the Gregorian calendar on " +
                                 dayText(partsOf(*request.gregorianFrom)) +
                                 ": it covers a birthday kept on its old date and one moved by the days left out");
        }
    }
    return a;
}

bool ResearchPipeline::reckonCalendars(const ResearchRequest& request, const ResearcherDates* read,
                                       EntryRequest& entry, ResearchAnswer& a) {
    std::optional<DateParts>* dates[2] = {&entry.eventDate, &entry.birthDate};
    const bool named[2] = {read != nullptr && read->event.calendarNamed, read != nullptr && read->birth.calendarNamed};
    const Field fields[2] = {Field::Event, Field::Birth};
    // A date whose calendar is not named is Gregorian from the change on and
    // Julian before it; a census day is always Gregorian.
    if (request.gregorianFrom) {
        const Date change = *request.gregorianFrom;
        for (size_t n = 0; n < 2; ++n) {
            if (named[n] || (n == 0 && a.census != nullptr)) continue;
            const std::string_view typed = trimBlanks(request.fields[fieldIndex(fields[n])]);
            std::optional<DateParts>& date = *dates[n];
            const std::optional<DateParts> plain = date ? date : readDateText(entry.fields[fieldIndex(fields[n])]);
            if (!plain || !validDate(*plain) || firstDay(*plain) >= change) continue;
            DateParts julian = *plain;
            julian.calendar = Calendar::Julian;
            if (!validDate(julian)) continue;  // the calculator says what is wrong with it
            if (julian.form == DateForm::FullDate && firstDay(julian) >= change) {
                DateParts dropped = partsOf(change, Calendar::Julian);
                DateParts lastDropped = partsOf(Date{std::chrono::sys_days{change} - std::chrono::days{1}});
                refuse(a, "'" + std::string(typed) + "' is no day: " + dayText(dropped) + " to " +
                              dayText(lastDropped) + " were left out at the change to the Gregorian calendar");
                return false;
            }
            date = julian;
        }
    }
    // The answer is reckoned in the calendar of the date it starts from;
    // a full date of the other calendar is taken to the same day in it.
    const bool fromEvent = entry.eventDate || given(entry.fields[fieldIndex(Field::Event)]);
    const std::optional<DateParts>& start = fromEvent ? entry.eventDate : entry.birthDate;
    const Calendar calendar = start ? start->calendar : Calendar::Gregorian;
    std::optional<DateParts>& other = fromEvent ? entry.birthDate : entry.eventDate;
    if (!other && calendar == Calendar::Julian) {
        const std::optional<DateParts> plain = readDateText(entry.fields[fieldIndex(fromEvent ? Field::Birth : Field::Event)]);
        if (plain && validDate(*plain)) other = plain;
    }
    if (other && other->calendar != calendar) {
        if (other->form == DateForm::FullDate) {
            if (const std::optional<Date> day = dayOfParts(*other)) other = partsOf(*day, calendar);
        } else {
            other->calendar = calendar;
        }
    }
    if (calendar == Calendar::Julian)
        a.warnings.emplace_back("The answer is reckoned in the Julian calendar (its ISO dates are Gregorian)");
    return true;
}

ResearchAnswer answerResearch(const ResearchRequest& request) {
    ResearchPipeline pipeline;
    return pipeline.answer(request);
}

std::string censusProblemText(const CensusFailure& failure) {
    if (failure.problem == CensusProblem::UnknownName) return "no census named '" + failure.name + "'";
    const Census& census = *failure.census;
    char day[16];
    std::snprintf(day, sizeof day, "%02d/%02d/%04d", monthOf(census.day), dayOf(census.day), yearOf(census.day));
    return "the event date " + failure.event + " is not the census day of " + std::string(census.name) + " (" + day +
           ")";
}

AnswerNotes answerNotes(const ResearchAnswer& answer, bool abbreviated, bool weekDay) {
    AnswerNotes notes;
    if (answer.outcome != ResearchOutcome::Ok || !answer.citation.known) return notes;
    notes.windowLine = windowLine(answer.citation, abbreviated, weekDay);
    notes.earliest = citationText(answer.citation, CitationText::Earliest);
    notes.latest = citationText(answer.citation, CitationText::Latest);
    notes.warnings = answer.warnings;
    // Each version cited on its own; a reason a version cannot hold the
    // window is said once, whichever version found it.
    const std::pair<GedcomVersion, std::string*> versions[] = {{GedcomVersion::V7, &notes.gedcom7},
                                                               {GedcomVersion::V551, &notes.gedcom551}};
    for (const auto& [version, text] : versions) {
        Citation citation;
        std::vector<std::string> found;
        citeAnswer(answer.entry, version, citation, found);
        *text = citationText(citation, CitationText::Gedcom);
        for (std::string& warning : found) {
            if (std::find(notes.warnings.begin(), notes.warnings.end(), warning) == notes.warnings.end())
                notes.warnings.push_back(std::move(warning));
        }
    }
    return notes;
}

}  // namespace quillark
