#include "session.h"

#include "date_text.h"

namespace quillark {

std::string_view missingFactName(MissingFact fact) {
    switch (fact) {
    case MissingFact::EventDate: return "event";
    case MissingFact::Age: return "age";
    case MissingFact::BirthDate: return "birth";
    case MissingFact::None: break;
    }
    return "";
}

namespace {

constexpr size_t indexOf(int32_t id) { return static_cast<size_t>(id - EventDateField); }

// formatDateField without a window: EntryError starts at 0 and keeps the
// answer's code; the field is rewritten only when the code is 0.
bool formatField(std::string& field, const SessionInput& input) {
    EntryError = 0;
    FormattedDate formatted = formatDateText(field, input.abbreviated, input.weekDay);
    EntryError = formatted.code;
    if (formatted.code != 0) return false;
    field.swap(formatted.text);
    return true;
}

}  // namespace

const SessionResult& Session::run(const SessionInput& input) {
    // A fresh run: nothing remembered from an earlier request.
    MissingPart = MissingFact::None;
    EntryError = 0;

    SessionResult& result = result_;
    result.outcome = SessionOutcome::Ok;
    result.missing = MissingFact::None;
    result.caption.clear();
    result.text.clear();
    // The work happens in the dialog's own fields; they trade places with
    // the result's at the end, so no text is copied twice and both keep
    // their buffers for the next run.
    std::array<std::string, 5>& fields = dialog_.fields;
    for (size_t i = 0; i < fields.size(); ++i) fields[i].assign(input.fields[i]);
    dialog_.boxes.clear();
    dialog_.focusMoves = 0;

    // Both date fields have been left: the event field is validated when the
    // focus reaches the years field, the birth field when it reaches "&Calc".
    // An empty field passes without being touched.
    for (int32_t id : {EventDateField, BirthDateField}) {
        std::string& field = fields[indexOf(id)];
        if (field.empty()) continue;
        if (!formatField(field, input)) {
            const int32_t code = EntryError;
            result.outcome = SessionOutcome::IllegalDate;
            result.caption.assign(IllegalDateCaption);
            result.text.assign(CheckOnText);
            // formatDateText only answers 1..4 on failure; anything else
            // would be an engine fault, shown rather than indexed blindly.
            if (code >= 1 && code <= 4) {
                result.text.append(PartNames[code]);
            } else {
                result.text.append("code ").append(std::to_string(code));
            }
            result.fields.swap(fields);
            return result;
        }
    }

    // "&Calc" received the focus with no entry error pending.
    calculate(dialog_);
    result.missing = MissingPart;

    if (!dialog_.boxes.empty()) {
        result.outcome = SessionOutcome::CalculationError;
        result.caption = dialog_.boxes.front().caption;
        result.text = dialog_.boxes.front().text;
    } else if (MissingPart == MissingFact::EventDate) {
        // The computed date is dressed in the display form. Should it fail
        // the display checks (a full date before 1600, say) the window leaves
        // the canonical text in the field without a box, and so does this.
        formatField(fields[indexOf(EventDateField)], input);
    } else if (MissingPart == MissingFact::BirthDate) {
        formatField(fields[indexOf(BirthDateField)], input);
    }
    result.fields.swap(fields);
    return result;
}

SessionResult runSession(const SessionInput& input) {
    Session session;
    return session.run(input);
}

}  // namespace quillark
