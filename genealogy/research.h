// The one research pipeline: a request's fields in, the answer a researcher
// cites out. The fields are read in the forms researchers copy from their
// sources, taken under a census when one is named, answered by the engine
// as the window answers them when "&Calc" receives the focus, and then
// cited: the window of possible dates, its GEDCOM value, and the birth
// window the record allows. Single requests, records of one person, the
// batch and the window all go through here.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "census.h"
#include "citation.h"
#include "date_bounds.h"
#include "entry.h"
#include "gedcom.h"
#include "researcher_forms.h"

namespace quillark {

struct ResearchRequest {
    std::array<std::string_view, FieldCount> fields{};  // as typed, in Field order
    std::string_view census;    // a census's name (blanks around it ignored); empty for none
    // Read the forms researchers copy ("6 Jun 1841", "40y 3m"); the window's
    // own fields take only its forms.
    bool researcherForms = true;
    bool abbreviated = false;   // "Show month abbreviated"
    bool weekDay = false;       // "Show week day"
    // The window asks from where it stands: the fact it remembers computing,
    // and its two date fields already validated and shown as the focus left
    // them. The command line starts afresh from fields as typed.
    MissingFact remembered = MissingFact::None;
    bool datesShown = false;
    bool cite = false;          // work out the window of possible dates
    std::optional<GedcomVersion> gedcom;  // and its GEDCOM value (cite only)
    bool birthWindow = false;   // the birth window the record allows
    // The first day of the Gregorian calendar where the records were made
    // (1752-09-14 for England and its colonies): a date before it whose
    // calendar is not named is Julian. Empty: every such date is Gregorian.
    std::optional<Date> gregorianFrom;
};

enum class ResearchOutcome {
    Ok,                // the fields hold the answer
    IllegalDate,       // a date field failed validation; nothing was calculated
    CalculationError,  // the calculation showed one of its error boxes
    CensusError,       // the census is unknown, or the event date is not its day
};

// Why a request cannot be taken under its census.
enum class CensusProblem {
    UnknownName,   // no census of that name
    NotCensusDay,  // an event date given as well is not the census day
};

struct CensusFailure {
    CensusProblem problem = CensusProblem::UnknownName;
    std::string name;   // the name as given, without surrounding blanks
    std::string event;  // NotCensusDay: the event date as read, without surrounding blanks
    const Census* census = nullptr;  // NotCensusDay: the census named
};

struct ResearchAnswer {
    ResearchOutcome outcome = ResearchOutcome::Ok;
    // The engine's answer. Its fields are what the window shows (on an error,
    // what it shows behind the box); see shown().
    EntryAnswer entry;
    const Census* census = nullptr;  // the census the request was taken under
    std::string yearsAsWritten;      // under a census: the years as the forms left them
    CensusFailure censusFailure;      // CensusError only
    // IllegalDate only: why a date in a researcher's form was refused (a
    // dual year that is none, a calendar not reckoned in, ...); empty when
    // the engine refused it, whose box texts then say why.
    std::string dateProblem;
    // Everything a researcher should know about the reading: the forms, the
    // census's age rule, the citation, in that order.
    std::vector<std::string> warnings;
    Citation citation;                     // cite only, and Ok
    std::optional<DateWindow> birthWindow;  // birthWindow only, and Ok; empty when the answer allows none

    // A field as it is shown: the engine's text, except that under a census
    // the years stay as written rather than as the census's rule reads them.
    std::string_view shown(Field field) const;
};

// Answers requests one after the other. The answer keeps its buffers from
// one request to the next, so a batch of millions of rows does not allocate
// per row; the returned reference is valid until the next request.
class ResearchPipeline {
public:
    const ResearchAnswer& answer(const ResearchRequest& request);

private:
    ResearchAnswer answer_;
    // The fields as the researchers' forms rewrote them, when they did.
    std::array<std::string, FieldCount> rewritten_;
    ResearcherDates dates_;
    std::string scratch_;

    // Dates of either calendar brought to the one the answer is reckoned in.
    bool reckonCalendars(const ResearchRequest& request, const ResearcherDates* read, EntryRequest& entry,
                         ResearchAnswer& a);
};

// One request on its own (tests, the single mode).
ResearchAnswer answerResearch(const ResearchRequest& request);

// Why a request could not be taken under its census, in words: "no census
// named 'EW1941'", "the event date 06/07/1841 is not the census day of
// EW1841 (06/06/1841)".
std::string censusProblemText(const CensusFailure& failure);

// What is said under an answer, beside its fields: the window of possible
// dates in words, its GEDCOM values in both versions, its ends, and every
// warning. Made from an answer that was cited (cite) and is Ok; all empty
// otherwise.
struct AnswerNotes {
    std::string windowLine;  // "Born between 12/08/1900 and 12/07/1901"
    std::string gedcom7;     // empty when the window cannot be written so
    std::string gedcom551;
    // The ends as ISO dates, or as GEDCOM ages for a computed age; empty
    // for an open end.
    std::string earliest;
    std::string latest;
    std::vector<std::string> warnings;

    bool known() const { return !windowLine.empty(); }
};
AnswerNotes answerNotes(const ResearchAnswer& answer, bool abbreviated, bool weekDay);

}  // namespace quillark
