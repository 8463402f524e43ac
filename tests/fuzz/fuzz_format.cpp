#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    bool abbreviated = data[0] & 1, weekDay = data[0] & 2;
    std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
    if (text.find('\0') != std::string_view::npos) return 0;  // a window text holds no NUL
    FormattedDate first = formatDateText(text, abbreviated, weekDay);
    const int code = static_cast<int>(first.code);
    FUZZ_CHECK(code >= 0 && code <= 4, "code %d", code);
    bool yearText = first.text.find("to") != std::string::npos || first.text.find("or") != std::string::npos;
    if (first.code == EntryCode::None && !yearText) {
        // What the field shows after a successful formatting is accepted
        // again and shown the same way.
        FormattedDate second = formatDateText(first.text, abbreviated, weekDay);
        FUZZ_CHECK(second.code == EntryCode::None && second.text == first.text, "[%s] -> [%s] code %d",
                   first.text.c_str(), second.text.c_str(), static_cast<int>(second.code));
        // Switching the display form and back is lossless for dates (texts
        // holding "to" or "or" are year texts the normalisation passes by).
        FormattedDate other = formatDateText(first.text, !abbreviated, weekDay);
        if (other.code == EntryCode::None) {
            FormattedDate back = formatDateText(other.text, abbreviated, weekDay);
            FUZZ_CHECK(back.code == EntryCode::None && back.text == first.text, "[%s] -> [%s] -> [%s]", first.text.c_str(),
                       other.text.c_str(), back.text.c_str());
        }
    }
    std::string tag = weekdayTag(text);
    FUZZ_CHECK(tag.empty() || (tag.size() == 6 && tag.substr(0, 3) == "  [" && tag[5] == ']'), "tag [%s]",
               tag.c_str());
    return 0;
}
