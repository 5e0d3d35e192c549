#include "cli/cli.h"

#include <iostream>
#include <new>

#include "cli/arguments.h"
#include "cli/batch.h"
#include "cli/cli_io.h"
#include "cli/help.h"
#include "cli/recipe.h"

namespace kivo {
namespace {

using cli::UsageError;

std::vector<std::string> after(const std::vector<std::string>& args, std::size_t first) {
    return {args.begin() + static_cast<std::ptrdiff_t>(std::min(first, args.size())), args.end()};
}

void expectWords(const std::vector<std::string>& args, std::size_t count, const std::string& usage) {
    if (args.size() != count) throw UsageError{"usage: kivoautofill-cli " + usage};
}

int run(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err) {
    if (args.empty()) throw UsageError{"missing operation (see 'kivoautofill-cli --help')"};
    const std::string& first = args[0];
    if (first == "--help" || first == "-h") {
        out << cli::usageText();
        return 0;
    }
    if (first == "--version") {
        out << "kivoautofill-cli " KIVO_VERSION "\n";
        return 0;
    }
    if (first == "list") {
        expectWords(args, 1, "list");
        out << cli::operationList();
        return 0;
    }
    if (first == "help") {
        expectWords(args, 2, "help OPERATION");
        out << cli::operationHelp(cli::operationCalled(args[1]));
        return 0;
    }
    if (first == "complete") {
        if (args.size() < 2 || args[1].find_first_not_of("0123456789") != std::string::npos ||
            args[1].empty())
            throw UsageError{"usage: kivoautofill-cli complete INDEX WORD..."};
        out << cli::completions(after(args, 2), static_cast<std::size_t>(std::stoul(args[1])));
        return 0;
    }
    if (first == "run") {
        if (args.size() < 2) throw UsageError{"usage: kivoautofill-cli run RECIPE [OPTION...] [FILE...]"};
        const std::vector<cli::Step> steps = cli::readRecipe(args[1]);
        return cli::runOnTexts(steps, cli::parseRunWords(after(args, 2)), in, out, err);
    }
    cli::OperationCall call{&cli::operationCalled(first), {}};
    cli::Settings settings;
    cli::parseWords(after(args, 1), call, settings);
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
