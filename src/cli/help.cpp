#include "cli/help.h"

#include <algorithm>
#include <sstream>

#include "cli/arguments.h"
#include "ops/dispatch.h"
#include "ops/registry.h"
#include "text/utf8.h"

namespace kivo::cli {
namespace {

// The caption as a line of text: without its access key.
std::string captionOf(const OperationDeclaration& op) {
    std::string caption = utf8::encode(op.caption);
    const std::size_t key = caption.find("(&");
    if (key != std::string::npos) caption.erase(key, caption.find(')', key) + 1 - key);
    while (!caption.empty() && caption.back() == ' ')
        caption.pop_back();
    return caption;
}

std::string defaultOf(const ParamDeclaration& p) {
    switch (p.kind) {
        case ParamKind::List:
            for (const ListEntry& e : p.entries)
                if (e.text == p.defaultText) return e.alias;
            break;
        case ParamKind::Check:
            return p.defaultText == u"1" ? "yes" : "no";
        case ParamKind::Date:
            return "today";
        case ParamKind::Count:
        case ParamKind::String:
            break;
    }
    return p.defaultText.empty() ? "empty" : utf8::encode(p.defaultText);
}

// A word as a shell reads it back.
std::string quoted(const std::string& word) {
    if (!word.empty() && word.find_first_of(" \t\n'\"\\$`|&;()<>*?[]#~!{}") == std::string::npos) return word;
    std::string q = "'";
    for (char c : word)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

// A text as printf's format: line breaks and Tabs spelled out.
std::string printfText(TextView text) {
    std::string out;
    for (char c : utf8::encode(text)) {
        if (c == '\r')
            out += "\\r";
        else if (c == '\n')
            out += "\\n";
        else if (c == '\t')
            out += "\\t";
        else if (c == '\\')
            out += "\\\\";
        else if (c == '%')
            out += "%%";
        else
            out += c;
    }
    return quoted(out);
}

bool startsWith(const std::string& s, const std::string& prefix) {
    return s.rfind(prefix, 0) == 0;
}

void addMatching(std::vector<std::string>& out, const std::string& typed,
                 const std::vector<std::string>& words) {
    for (const std::string& w : words)
        if (startsWith(w, typed)) out.push_back(w);
}

const std::vector<std::string> kSettingOptions = {
    "--answer=", "--encoding=",   "--output-encoding=", "--line-breaks=", "--unmappable=",
    "--output=", "--output-dir=", "--in-place",         "--jobs=",        "--quiet"};

std::vector<std::string> encodingValues(bool input) {
    std::vector<std::string> values;
    if (input) values.push_back("auto");
    for (const auto& [word, encoding] : encodingWords(input))
        values.push_back(word);
    return values;
}

std::vector<std::string> settingValues(const std::string& option) {
    if (option == "--answer") return {"yes", "no", "cancel"};
    if (option == "--encoding") return encodingValues(true);
    if (option == "--output-encoding") return encodingValues(false);
    if (option == "--line-breaks") return {"keep", "crlf", "lf"};
    if (option == "--unmappable") return {"refuse", "question-mark"};
    return {};
}

std::vector<std::string> optionValues(const ParamDeclaration& p) {
    std::vector<std::string> values;
    if (p.kind == ParamKind::List)
        for (const ListEntry& e : p.entries)
            values.push_back(e.alias);
    if (p.kind == ParamKind::Check) values = {"yes", "no"};
    return values;
}

// The texts a control takes as the window holds them: a list's entries, a check box's 1 or 0.
std::vector<std::string> controlValues(const ParamDeclaration& p) {
    std::vector<std::string> values;
    if (p.kind == ParamKind::List)
        for (const ListEntry& e : p.entries)
            values.push_back(utf8::encode(e.text));
    if (p.kind == ParamKind::Check) values = {"1", "0"};
    return values;
}

// The operation a word names, by its name or code; none for any other word.
const OperationDeclaration* calledOperation(const std::string& word) {
    if (const OperationDeclaration* op = operationNamed(word)) return op;
    if (word.empty() || word.size() > 2 || word.find_first_not_of("0123456789") != std::string::npos)
        return nullptr;
    return isOperationCode(std::stoi(word)) ? &operation(std::stoi(word)) : nullptr;
}

std::vector<std::string> operationWords() {
    std::vector<std::string> words;
    for (const OperationDeclaration* op : operations()) {
        words.push_back(op->name);
        words.push_back(std::to_string(op->code));
    }
    return words;
}

// Where the operation's word is among the words before `index`: after the settings that may
// come first.
std::size_t operationAt(const std::vector<std::string>& words, std::size_t index) {
    Settings ignored;
    try {
        return parseLeadingSettings({words.begin(), words.begin() + static_cast<std::ptrdiff_t>(index)},
                                    ignored);
    } catch (const UsageError&) {
        return 0;
    }
}

// `--NAME` or `--NAME=VALUE` being typed: the settings' options and `op`'s, or their values.
void addOptions(std::vector<std::string>& out, const std::string& typed, const OperationDeclaration* op) {
    const std::size_t eq = typed.find('=');
    if (eq == std::string::npos) {
        std::vector<std::string> options = kSettingOptions;
        if (op)
            for (const ParamDeclaration& p : op->params)
                options.push_back("--" + p.option + (p.kind == ParamKind::Check ? "" : "="));
        if (op && op->param(kRulesFileOption)) options.push_back("--rules=");
        addMatching(out, typed, options);
        return;
    }
    const std::string option = typed.substr(0, eq);
    std::vector<std::string> values = settingValues(option);
    if (op)
        for (const ParamDeclaration& p : op->params)
            if ("--" + p.option == option) values = optionValues(p);
    for (std::string& v : values)
        v = option + "=" + v;
    addMatching(out, typed, values);
}

// The window's control names for the exact form (`Combo31=`), or a control's values after them.
void addControls(std::vector<std::string>& out, const std::string& typed, const OperationDeclaration& op) {
    const std::size_t eq = typed.find('=');
    std::vector<std::string> words;
    for (const ParamDeclaration& p : op.params) {
        if (eq == std::string::npos) {
            words.push_back(p.control + "=");
        } else if (typed.compare(0, eq, p.control) == 0 && eq == p.control.size()) {
            for (const std::string& value : controlValues(p))
                words.push_back(p.control + "=" + value);
        }
    }
    addMatching(out, typed, words);
}

}  // namespace

std::string usageText() {
    return R"(Usage: kivoautofill-cli OPERATION [OPTION...] [FILE...]
  or:  kivoautofill-cli run RECIPE [OPTION...] [FILE...]
  or:  kivoautofill-cli list
  or:  kivoautofill-cli help OPERATION
Transforms plain text as the Kivoオートフィル window does: reverses, counts, replaces, extracts,
sorts and numbers lines, repeats templates, lists dates and converts Japanese text.

OPERATION is an operation's name or code: 'kivoautofill-cli list' lists them, and
'kivoautofill-cli help OPERATION' tells its options. An operation's options take the form
--NAME=VALUE; a list option takes the window's Japanese entry or its English name
(--side=right or --side=右). The window's control names set the same values exactly
(Combo31=右 Text3=・), and both forms may be mixed.

The text comes from each FILE (a FIFO or /dev/fd/N too), or from standard input when there is
none or FILE is -. The options below may also come before OPERATION or run.

  -o, --output=FILE        write the result to FILE instead of standard output
      --output-dir=DIR     write each file's result to DIR under the file's name
      --in-place           replace each file by its result (a file without one stays)
      --encoding=ENC       the input's encoding: auto (the default for files), utf-8 (the
                           default for standard input), cp932 (Shift-JIS), utf-16le, utf-16be
                           or euc-jp. auto reads a byte-order mark (UTF-8, UTF-16), else only
                           an encoding that gives the bytes back unchanged: ASCII is UTF-8;
                           bytes read alike well as UTF-8 and as cp932 ("café") are read as
                           cp932, but --in-place and --output-dir leave such a file as it is
      --output-encoding=E  the result's encoding: utf-8, utf-8-bom, cp932, utf-16le, utf-16be
                           (both with a byte-order mark) or euc-jp (default: the input's)
      --line-breaks=LB     keep (the default: the input's line break when all of them are
                           alike, CrLf for a text without one), crlf (each line break as the
                           operation makes it, as the window shows it) or lf
      --unmappable=U       refuse (the default: a result with a character its encoding cannot
                           hold is not written, exit 1) or question-mark (written as "?")
      --answer=ANSWER      the answer, yes, no or cancel, to the next question of a run
                           (questions without one are answered yes)
      --jobs=N             files worked on at once (default: the number of cores; fewer
                           where memory or the system allows fewer threads)
      --quiet              no progress line on a terminal
      --help               show this help and exit
      --version            show the version and exit

A recipe is a text file with one step per line: an operation and its options, quoted as in a
shell; # starts a comment, and a line ending in \ goes on with the next. Each step works on the
result of the one before.

Messages go to standard error, each file's after its name. Exit status: 0 when every text got
a result, 1 when some did not (they are named), 2 when the command line or a recipe is wrong
(nothing is written then).
)";
}

std::string operationList() {
    std::ostringstream out;
    for (const OperationDeclaration* op : operations()) {
        std::string name = op->name;
        name.resize(std::max<std::size_t>(name.size(), 26), ' ');
        const char* mark = !op->lineLocal ? "   " : op->countsLines ? " N " : " L ";
        out << (op->code < 10 ? " " : "") << op->code << mark << name << op->description << "  ("
            << captionOf(*op) << ")\n";
    }
    out << "\nL: line-local: runs a block of lines at a time, in little memory whatever the input's size "
           "and\n"
           "on every core (--jobs); its input may also be cut into pieces at line breaks (parallel "
           "--pipe).\n"
           "N: the same, counting lines across the blocks: its input cannot be cut by other tools.\n"
           "Some are line-local only with some of their options: help NAME says which.\n";
    return out.str();
}

// The list entries with which a partly line-local operation runs a block at a time, each other
// option at its default: "--mode=trim,trim-end". A list all of whose entries do is left out.
std::string lineLocalOptions(const OperationDeclaration& op) {
    std::string found;
    const OptionTexts defaults = OptionTexts::defaults(op, today());
    for (const ParamDeclaration& p : op.params) {
        std::string entries;
        std::size_t count = 0;
        for (const ListEntry& entry : p.entries) {
            OptionTexts options = defaults;
            options.set(p.option, entry.text);
            if (!runsBlockByBlock(op, options)) continue;
            entries += (entries.empty() ? "" : ",") + entry.alias;
            ++count;
        }
        if (count > 0 && count < p.entries.size())
            found += (found.empty() ? "--" : " --") + p.option + "=" + entries;
    }
    return found;
}

std::string operationHelp(const OperationDeclaration& op) {
    std::ostringstream out;
    out << op.name << " (code " << op.code << ", tab " << static_cast<int>(op.tab) + 1
        << " of the window: " << captionOf(op) << ")\n  " << op.description << ".\n";
    if (!op.params.empty()) {
        out << "\nOptions:\n";
        for (const ParamDeclaration& p : op.params) {
            std::string option = "--" + p.option + (p.kind == ParamKind::Check ? "[=yes|no]" : "=VALUE");
            option.resize(std::max<std::size_t>(option.size(), 22), ' ');
            out << "  " << option << "  " << valuesOf(p) << "; default " << defaultOf(p) << "  [" << p.control
                << "]\n";
        }
        if (op.param(kRulesFileOption))
            out << "  --rules=FILE            --" << kRulesFileOption
                << " read from FILE, one pair a line, its encoding detected\n";
    }
    constexpr const char* kHoldsWhole =
        "holds the whole text and its result: about 3 times the input's size (a text larger than memory "
        "allows is refused with the sizes)";
    out << "\nMemory: ";
    if (op.lineLocal) {
        out << (op.lineLocalWithSome ? "line-local with some options (" + lineLocalOptions(op) + "): "
                                     : "line-local: ")
            << "runs a block of lines at a time, in a few megabytes whatever the input's size";
        if (op.lineLocalWithSome) out << "; with the others it " << kHoldsWhole;
        out << '\n';
    } else if (op.hasUtf8Run) {
        out << "a UTF-8 text it runs as bytes is held as they are, with up to about 50 bytes a line, its "
               "result written to standard output as it is made: at most about twice the size of a UTF-8 "
               "input whose lines average 50 bytes; otherwise (another encoding, a text it decodes, a result "
               "written to a file) it "
            << kHoldsWhole << '\n';
    } else {
        out << kHoldsWhole << '\n';
    }
    const Example& example = op.example;
    out << "\nExample:\n  $ printf " << printfText(example.input) << " | kivoautofill-cli " << op.name;
    for (const std::string& option : example.options)
        out << ' ' << quoted(option);
    out << '\n';
    std::string result = utf8::encode(example.output);
    result.erase(std::remove(result.begin(), result.end(), '\r'), result.end());
    std::istringstream lines(result);
    for (std::string line; std::getline(lines, line);)
        out << "  " << line << '\n';
    return out.str();
}

std::string completions(const std::vector<std::string>& words, std::size_t index) {
    if (index >= words.size()) return {};
    const std::string& typed = words[index];
    const std::size_t at = operationAt(words, index);
    std::vector<std::string> out;
    if (index > 0 &&
        (words[index - 1] == "-o" || words[index - 1] == "--output" || words[index - 1] == "--output-dir")) {
        // A path, which the shell completes.
    } else if (index == at) {
        if (startsWith(typed, "-")) addOptions(out, typed, nullptr);
        if (at == 0) addMatching(out, typed, {"list", "help", "run", "--help", "--version"});
        addMatching(out, typed, operationWords());
    } else if (at == 0 && words[0] == "help") {
        if (index == 1) addMatching(out, typed, operationWords());
    } else if (const OperationDeclaration* op = calledOperation(words[at]); startsWith(typed, "-")) {
        addOptions(out, typed, op);
    } else if (op && !typed.empty()) {
        addControls(out, typed, *op);
    }
    std::string lines;
    for (const std::string& w : out)
        lines += w + '\n';
    return lines;
}

}  // namespace kivo::cli
