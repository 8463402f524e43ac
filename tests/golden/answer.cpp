#include "answer.h"

#include "calculation.h"
#include "date_text.h"
#include "memory_dialog.h"

namespace golden {

namespace {

// formatDateField on a field held in memory.
void formatField(std::string& field, const RequestLine& request) {
    EntryError = 0;
    FormattedDate formatted = formatDateText(field, request.abbreviated, request.weekDay);
    EntryError = formatted.code;
    if (formatted.code == 0) field.swap(formatted.text);
}

constexpr const char* PartNames[5] = {"", "months", "days", "years", "4 digit year"};

}  // namespace

// The window's steps: the event field validated as the focus leaves it, the
// birth field as "&Calc" receives the focus, the calculation, and the
// computed date field passed through the display once more; the last step
// follows the remembered fact even after an error box, as the window does.
AnswerLine answer(const RequestLine& request) {
    MissingPart = static_cast<MissingFact>(request.remembered);
    EntryError = 0;
    MemoryDialog dialog;
    dialog.fields = request.fields;
    AnswerLine result;
    for (size_t index : {size_t{0}, size_t{4}}) {
        formatField(dialog.fields[index], request);
        if (EntryError != 0) {
            result.caption = "Illegal Date";
            result.text = std::string("Check on ") + PartNames[EntryError];
            break;
        }
    }
    if (EntryError == 0) {
        calculate(dialog);
        if (!dialog.boxes.empty()) {
            result.caption = dialog.boxes.front().caption;
            result.text = dialog.boxes.front().text;
        }
        if (MissingPart == MissingFact::EventDate)
            formatField(dialog.fields[0], request);
        else if (MissingPart == MissingFact::BirthDate)
            formatField(dialog.fields[4], request);
    }
    result.fields = dialog.fields;
    result.missing = static_cast<int>(MissingPart);
    result.entryError = EntryError;
    return result;
}

}  // namespace golden
