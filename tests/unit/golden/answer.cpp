#include "answer.h"

#include "date_text.h"
#include "entry.h"

namespace golden {

namespace {

AnswerLine run(const RequestLine& request, const std::array<std::string, 5>& fields, bool datesShown) {
    EntryRequest entry;
    for (size_t i = 0; i < entry.fields.size(); ++i) entry.fields[i] = fields[i];
    entry.abbreviated = request.abbreviated;
    entry.weekDay = request.weekDay;
    entry.remembered = static_cast<MissingFact>(request.remembered);
    entry.datesShown = datesShown;
    EntryAnswer got;
    answerRequest(entry, got);
    AnswerLine result;
    result.fields = got.fields;
    result.missing = static_cast<int>(got.missing);
    result.entryError = static_cast<int>(got.entryError);
    result.caption = got.caption;
    result.text = got.text;
    return result;
}

}  // namespace

AnswerLine answer(const RequestLine& request) { return run(request, request.fields, false); }

bool answerShown(const RequestLine& request, AnswerLine& result) {
    std::array<std::string, 5> fields = request.fields;
    for (size_t index : {size_t{0}, size_t{4}}) {
        FormattedDate shown = formatDateText(fields[index], request.abbreviated, request.weekDay);
        if (shown.code != EntryCode::None) return false;
        fields[index] = shown.text;
    }
    result = run(request, fields, true);
    return true;
}

}  // namespace golden
