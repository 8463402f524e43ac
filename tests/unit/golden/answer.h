// The engine's answer to one request line, as the window gives it after
// "&Calc": what the recorded answers were made with and are checked against.
#pragma once

#include "request_file.h"

namespace golden {

// The fields as typed, validated by the entry itself (the command line's way).
AnswerLine answer(const RequestLine& request);

// The window's way: each date field validated and shown first, on its own,
// then the entry on the fields as shown. False when a date field fails its
// validation (the window then stops before "&Calc").
bool answerShown(const RequestLine& request, AnswerLine& result);

}  // namespace golden
