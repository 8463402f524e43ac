#include "entry.h"

#include "date_text.h"
#include "engine_internal.h"
#include "shown_texts.h"

using namespace engine;

namespace {

constexpr size_t EventIndex = 0;
constexpr size_t BirthIndex = 4;

}  // namespace

std::string_view illegalDateText(int32_t code) {
    // Made once from the words the window shows, so the two cannot drift.
    static const std::array<std::string, 5> Texts = [] {
        std::array<std::string, 5> texts;
        for (size_t i = 0; i < texts.size(); ++i) texts[i] = std::string(CheckOnText) + PartNames[i];
        return texts;
    }();
    return Texts[code >= 1 && code <= 4 ? static_cast<size_t>(code) : 0];
}

void answerRequest(const EntryRequest& request, EntryAnswer& answer) {
    for (size_t i = 0; i < answer.fields.size(); ++i) answer.fields[i].assign(request.fields[i]);
    answer.missing = request.remembered;
    answer.entryError = 0;
    answer.calculationError = 0;
    answer.written = 0;
    answer.box = EntryBox::None;
    answer.caption = {};
    answer.text = {};
    answer.inputs = {};

    // The dates are read once. Typed texts are validated and shown as the
    // window does when both fields have been left (the event field first);
    // shown texts are read as the calculation reads a field.
    CalcDate dates[2];
    for (size_t n = 0; n < 2; ++n) {
        const size_t index = n == 0 ? EventIndex : BirthIndex;
        std::string& scratch = n == 0 ? answer.scratch.event : answer.scratch.birth;
        std::string& field = answer.fields[index];
        if (request.datesShown) {
            dates[n] = readCalcDate(field, scratch);
            continue;
        }
        DateValue value;
        const int32_t code = readDate(request.fields[index], request.abbreviated, request.weekDay, scratch, value);
        if (code != 0) {
            answer.entryError = code;
            answer.box = EntryBox::IllegalDate;
            answer.caption = IllegalDateCaption;
            answer.text = illegalDateText(code);
            return;
        }
        writeDate(value, request.abbreviated, request.weekDay, field);
        dates[n] = calcDateOf(value, field, scratch);
    }

    answer.inputs.event = dates[0].parts;
    answer.inputs.birth = dates[1].parts;
    answer.inputs.eventRead = dates[0].present && dates[0].code == 0;
    answer.inputs.birthRead = dates[1].present && dates[1].code == 0;
    const CalcOutcome outcome = calculateFields(answer.fields, dates[0], dates[1], request.remembered);
    answer.inputs.age = outcome.age;
    answer.missing = outcome.missing;
    answer.entryError = answer.calculationError = outcome.entryError;
    answer.written = outcome.written;
    if (!outcome.caption.empty()) {
        answer.box = EntryBox::Calculation;
        answer.caption = outcome.caption;
        answer.text = outcome.text;
    }

    // The field of the missing date goes through the display once more, also
    // after an error box (it then holds what the user typed). A date just
    // computed is shown from its numbers; year words pass the display as
    // they are.
    size_t shown;
    if (outcome.missing == MissingFact::EventDate) shown = EventIndex;
    else if (outcome.missing == MissingFact::BirthDate) shown = BirthIndex;
    else return;
    std::string& field = answer.fields[shown];
    DateValue value = outcome.computed;
    if (value.kind == ValueKind::Empty) {
        if (outcome.written != 0 && outcome.caption.empty()) {
            answer.entryError = 0;  // year words
            return;
        }
        answer.entryError = readDate(field, request.abbreviated, request.weekDay, answer.scratch.display, value);
    } else {
        answer.entryError = value.kind == ValueKind::Full
                                ? checkFullDate({DateForm::FullDate, value.month, value.day, value.year})
                                : 0;
    }
    if (answer.entryError == 0) {
        writeDate(value, request.abbreviated, request.weekDay, field);
        answer.written |= 1u << shown;
    }
}
