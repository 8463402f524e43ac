#include "entry.h"

#include "date_text.h"
#include "engine_internal.h"
#include "shown_texts.h"

using namespace engine;

namespace {

constexpr size_t EventIndex = 0;
constexpr size_t BirthIndex = 4;

}  // namespace

std::string_view illegalDateText(EntryCode code) {
    // Made once from the words the window shows, so the two cannot drift.
    static const std::array<std::string, 5> Texts = [] {
        std::array<std::string, 5> texts;
        for (size_t i = 0; i < texts.size(); ++i)
            texts[i] = std::string(CheckOnText).append(entryCodeName(static_cast<EntryCode>(i)));
        return texts;
    }();
    const auto index = static_cast<size_t>(code);
    return Texts[index < Texts.size() ? index : 0];
}

void answerRequest(const EntryRequest& request, EntryAnswer& answer) {
    // The age fields as given; each date field is set once, below, to what
    // it shows.
    for (size_t i = EventIndex + 1; i < BirthIndex; ++i)
        if (answer.fields[i] != request.fields[i]) answer.fields[i].assign(request.fields[i]);
    answer.missing = request.remembered;
    answer.entryError = EntryCode::None;
    answer.calculationError = EntryCode::None;
    answer.written = 0;
    answer.box = EntryBox::None;
    answer.caption = {};
    answer.text = {};
    answer.inputs = {};
    answer.age = {};

    // The dates are read once. Typed texts are validated and shown as the
    // window does when both fields have been left (the event field first);
    // shown texts are read as the calculation reads a field.
    CalcDate dates[2];
    for (size_t n = 0; n < 2; ++n) {
        const size_t index = n == 0 ? EventIndex : BirthIndex;
        std::string& scratch = n == 0 ? answer.scratch.event : answer.scratch.birth;
        std::string& field = answer.fields[index];
        const std::optional<DateParts>& given = n == 0 ? request.eventDate : request.birthDate;
        if (request.datesShown && !given) {
            field.assign(request.fields[index]);
            dates[n] = readCalcDate(field, scratch);
            continue;
        }
        CalcDate& date = dates[n];
        FieldDate& value = date.field;
        EntryCode code;
        if (given) {
            code = checkDate(*given);
            value.kind = FieldKind::Date;
            value.date = *given;
        } else {
            code = readDate(request.fields[index], request.abbreviated, request.weekDay, scratch, value);
        }
        if (code != EntryCode::None) {
            // The failing field and any after it keep what was typed.
            for (size_t k = n; k < 2; ++k) {
                const size_t typed = k == 0 ? EventIndex : BirthIndex;
                answer.fields[typed].assign(request.fields[typed]);
            }
            answer.entryError = code;
            answer.box = EntryBox::IllegalDate;
            answer.caption = IllegalDateCaption;
            answer.text = illegalDateText(code);
            return;
        }
        writeDate(value, request.abbreviated, request.weekDay, field);
        // A date shown reads back as the numbers it was written from; only a
        // year text is read again, as the calculation reads any field.
        if (value.kind == FieldKind::Text) date = readCalcDate(field, scratch);
    }

    answer.inputs.event = dates[0].field.date;
    answer.inputs.birth = dates[1].field.date;
    answer.inputs.eventRead = dates[0].field.kind != FieldKind::Empty && dates[0].code == EntryCode::None;
    answer.inputs.birthRead = dates[1].field.kind != FieldKind::Empty && dates[1].code == EntryCode::None;
    const CalcOutcome outcome = calculateFields(answer.fields, dates[0], dates[1], request.remembered,
                                                request.age ? &*request.age : nullptr);
    answer.inputs.age = outcome.age;
    answer.age = {outcome.computedAge[0], outcome.computedAge[1], outcome.computedAge[2]};
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
    FieldDate value;
    if (!outcome.computed) {
        if (outcome.written != 0 && outcome.caption.empty()) {
            answer.entryError = EntryCode::None;  // year words
            return;
        }
        answer.entryError = readDate(field, request.abbreviated, request.weekDay, answer.scratch.display, value);
    } else {
        value.kind = FieldKind::Date;
        value.date = *outcome.computed;
        answer.entryError = value.date.form == DateForm::FullDate ? checkFullDate(value.date) : EntryCode::None;
    }
    if (answer.entryError == EntryCode::None) {
        writeDate(value, request.abbreviated, request.weekDay, field);
        answer.written |= 1u << shown;
    }
}
