#include "cli/cli.h"

#include <iostream>
#include <new>
#include <optional>

#include "cli/arguments.h"
#include "cli/batch.h"
#include "cli/cli_io.h"
#include "cli/help.h"
#include "cli/recipe.h"

namespace kivo {
namespace {

std::vector<std::string> after(const std::vector<std::string>& args, std::size_t first) {
    return {args.begin() + static_cast<std::ptrdiff_t>(std::min(first, args.size())), args.end()};
}

void expectWords(const std::vector<std::string>& args, std::size_t count, const std::string& usage) {
    if (args.size() != count) throw UsageError{"usage: kivoautofill-cli " + usage};
}

// The index of the word `complete` is asked about: a number naming one of its words.
std::optional<std::size_t> completedWord(const std::string& index, std::size_t words) {
    if (index.empty() || index.size() > 9 || index.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    const std::size_t at = std::stoul(index);
    if (at >= words) return std::nullopt;
    return at;
}

bool isCommand(const std::string& word) {
    for (const char* command : {"--help", "-h", "--version", "list", "help", "complete"})
        if (word == command) return true;
    return false;
}

int runCommand(const std::vector<std::string>& args, std::ostream& out) {
    const std::string& first = args[0];
    if (first == "--help" || first == "-h") {
        out << cli::usageText();
    } else if (first == "--version") {
        out << "kivoautofill-cli " KIVO_VERSION "\n";
    } else if (first == "list") {
        expectWords(args, 1, "list");
        out << cli::operationList();
    } else if (first == "help") {
        expectWords(args, 2, "help OPERATION");
        out << cli::operationHelp(operationCalled(args[1]));
    } else {
        const std::vector<std::string> words = after(args, 2);
        const std::optional<std::size_t> index =
            args.size() > 1 ? completedWord(args[1], words.size()) : std::nullopt;
        if (!index)
            throw UsageError{
                "usage: kivoautofill-cli complete INDEX WORD... (INDEX counts the WORDs from 0)"};
        out << cli::completions(words, *index);
    }
    return 0;
}

int run(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err) {
    // The command line's own settings may come first, as after the operation.
    cli::Settings settings;
    const std::size_t leading = cli::parseLeadingSettings(args, settings);
    if (leading == args.size()) throw UsageError{"missing operation (see 'kivoautofill-cli --help')"};
    const std::string& first = args[leading];
    if (isCommand(first)) {
        if (leading > 0) throw UsageError{"the options before " + first + " belong to an operation or run"};
        return runCommand(args, out);
    }
    if (first == "run") {
        if (args.size() < leading + 2)
            throw UsageError{"usage: kivoautofill-cli run RECIPE [OPTION...] [FILE...]"};
        const std::vector<cli::Step> steps = cli::readRecipe(args[leading + 1]);
        cli::parseRunWords(after(args, leading + 2), settings);
        return cli::runOnTexts(steps, settings, in, out, err);
    }
    OperationCall call{&operationCalled(first), {}};
    cli::parseWords(after(args, leading + 1), call, settings);
    return cli::runOnTexts({{call, ""}}, settings, in, out, err);
}

}  // namespace

int runCli(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err) {
    try {
        // A failed write raises the output's own exception, which names the reason.
        out.exceptions(std::ios::badbit);
        return run(args, in, out, err);
    } catch (const UsageError& e) {
        err << "kivoautofill-cli: " << e.message << '\n';
        return 2;
    } catch (const InputError& e) {
        err << "kivoautofill-cli: " << e.what() << '\n';
        return 2;
    } catch (const IoFailure& e) {
        err << "kivoautofill-cli: " << e.what() << '\n';
        return 1;
    } catch (const std::ios_base::failure&) {
        err << "kivoautofill-cli: cannot write standard output\n";
        return 1;
    } catch (const std::bad_alloc&) {
        // Outside a run (which reports its own): converting the input or the output.
        err << "kivoautofill-cli: out of memory\n";
        return 1;
    }
}

}  // namespace kivo
