// The engine's answer to one request line, as the window gives it after
// "&Calc": what the recorded answers were made with and are checked against.
#pragma once

#include "request_file.h"

namespace golden {

AnswerLine answer(const RequestLine& request);

}  // namespace golden
