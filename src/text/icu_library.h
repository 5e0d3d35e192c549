// ICU's regular expressions and the few character functions that go with them, loaded on their
// first use: a run that needs none of them starts without mapping ICU, which would add a few
// milliseconds to every start of the command line.
#pragma once

#include <unicode/uchar.h>
#include <unicode/uregex.h>
#include <unicode/ustring.h>

namespace kivo {

struct IcuLibrary {
    decltype(&::uregex_open) open;
    decltype(&::uregex_close) close;
    decltype(&::uregex_setTimeLimit) setTimeLimit;
    decltype(&::uregex_groupCount) groupCount;
    decltype(&::uregex_groupNumberFromName) groupNumberFromName;
    decltype(&::uregex_setText) setText;
    decltype(&::uregex_setRegion) setRegion;
    decltype(&::uregex_setMatchCallback) setMatchCallback;
    decltype(&::uregex_findNext) findNext;
    decltype(&::uregex_start) start;
    decltype(&::uregex_end) end;
    decltype(&::u_errorName) errorName;
    decltype(&::u_isdigit) isDigit;
    decltype(&::u_charDigitValue) charDigitValue;
    decltype(&::u_unescapeAt) unescapeAt;
};

/// The library, loaded by the first call; RunTimeError when it cannot be.
const IcuLibrary& icuLibrary();

}  // namespace kivo
