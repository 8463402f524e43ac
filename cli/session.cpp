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

const SessionResult& Session::run(const SessionInput& input) {
    EntryRequest request;
    request.fields = input.fields;
    request.abbreviated = input.abbreviated;
    request.weekDay = input.weekDay;
    answerRequest(request, answer_);

    SessionResult& result = result_;
    result.outcome = answer_.box == EntryBox::IllegalDate   ? SessionOutcome::IllegalDate
                     : answer_.box == EntryBox::Calculation ? SessionOutcome::CalculationError
                                                            : SessionOutcome::Ok;
    result.missing = answer_.missing;
    // The window's two shared codes are left as the window would leave them,
    // so the shared case table can hold both front ends to the same state.
    EntryError = answer_.entryError;
    MissingPart = answer_.missing;
    result.caption.assign(answer_.caption);
    result.text.assign(answer_.text);
    result.inputs = answer_.inputs;
    // The answer's texts trade places with the result's, so both keep their
    // buffers for the next run and nothing is copied.
    result.fields.swap(answer_.fields);
    return result;
}

SessionResult runSession(const SessionInput& input) {
    Session session;
    return session.run(input);
}

}  // namespace quillark
