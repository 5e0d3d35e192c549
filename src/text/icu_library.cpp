#include "text/icu_library.h"

#include <dlfcn.h>
#include <unicode/uvernum.h>

#include <string>

#include "text/errors.h"

// ICU's C functions carry its version in their names (uregex_open is uregex_open_72), as does its
// file: the names to look up are the macros' expansions.
#define KIVO_ICU_NAME(macro) KIVO_ICU_STRING(macro)
#define KIVO_ICU_STRING(name) #name

namespace kivo {
namespace {

constexpr char kFile[] = "libicui18n.so." KIVO_ICU_NAME(U_ICU_VERSION_MAJOR_NUM);

template <typename Function>
void find(void* library, Function& function, const char* name) {
    function = reinterpret_cast<Function>(::dlsym(library, name));
    if (!function) throw RunTimeError("cannot find " + std::string(name) + " in " + kFile);
}

IcuLibrary load() {
    // The regular-expression library brings the common one it is built on, where the character
    // functions are: looking a name up through it searches both.
    void* file = ::dlopen(kFile, RTLD_NOW | RTLD_LOCAL);
    if (!file) throw RunTimeError(std::string("cannot load ") + kFile + ": " + ::dlerror());
    IcuLibrary l{};
    find(file, l.open, KIVO_ICU_NAME(uregex_open));
    find(file, l.close, KIVO_ICU_NAME(uregex_close));
    find(file, l.setTimeLimit, KIVO_ICU_NAME(uregex_setTimeLimit));
    find(file, l.groupCount, KIVO_ICU_NAME(uregex_groupCount));
    find(file, l.groupNumberFromName, KIVO_ICU_NAME(uregex_groupNumberFromName));
    find(file, l.setText, KIVO_ICU_NAME(uregex_setText));
    find(file, l.setRegion, KIVO_ICU_NAME(uregex_setRegion));
    find(file, l.setMatchCallback, KIVO_ICU_NAME(uregex_setMatchCallback));
    find(file, l.findNext, KIVO_ICU_NAME(uregex_findNext));
    find(file, l.start, KIVO_ICU_NAME(uregex_start));
    find(file, l.end, KIVO_ICU_NAME(uregex_end));
    find(file, l.errorName, KIVO_ICU_NAME(u_errorName));
    find(file, l.isDigit, KIVO_ICU_NAME(u_isdigit));
    find(file, l.charDigitValue, KIVO_ICU_NAME(u_charDigitValue));
    find(file, l.unescapeAt, KIVO_ICU_NAME(u_unescapeAt));
    return l;
}

}  // namespace

const IcuLibrary& icuLibrary() {
    static const IcuLibrary loaded = load();
    return loaded;
}

}  // namespace kivo
