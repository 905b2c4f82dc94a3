// The result codes that screens end with and the navigation acts on.
#pragma once

namespace setup {

constexpr int RESULT_CLOSE = 100;    // X or Alt+F4: the program ends
constexpr int RESULT_BACK = 101;     // one screen back
constexpr int RESULT_NEXT = 102;     // on to the next screen
constexpr int RESULT_FINISHED = 103; // a notice acknowledged, a wizard finished or cancelled
constexpr int RESULT_SETUP_DONE = 120;
constexpr int RESULT_SETUP_FAILED = 125; // also the message dialog's OK outside question mode
constexpr int RESULT_YES = 128;
constexpr int RESULT_NO = 129;

} // namespace setup
