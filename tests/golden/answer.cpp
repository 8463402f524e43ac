#include "answer.h"

#include "entry.h"

namespace golden {

AnswerLine answer(const RequestLine& request) {
    EntryRequest entry;
    for (size_t i = 0; i < entry.fields.size(); ++i) entry.fields[i] = request.fields[i];
    entry.abbreviated = request.abbreviated;
    entry.weekDay = request.weekDay;
    entry.remembered = static_cast<MissingFact>(request.remembered);
    EntryAnswer got;
    answerRequest(entry, got);
    AnswerLine result;
    result.fields = got.fields;
    result.missing = static_cast<int>(got.missing);
    result.entryError = got.entryError;
    result.caption = got.caption;
    result.text = got.text;
    return result;
}

}  // namespace golden
