#include <unistd.h>

#include <iostream>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "cli/cli_io.h"
#include "text/standard_descriptors.h"

int main(int argc, char** argv) {
    const kivo::ClosedDescriptors closed = kivo::openClosedStandardDescriptors();
    kivo::ignoreFileSizeSignal();
    std::ios::sync_with_stdio(false);
    kivo::OutputFile output(STDOUT_FILENO, closed.output);
    std::ostream out(&output);
    kivo::ClosedInput closedInput;
    std::istream none(&closedInput);
    const std::vector<std::string> args(argv + 1, argv + argc);
    const int status = kivo::runCli(args, closed.input ? none : std::cin, out, std::cerr);
    return kivo::closeOutput(status, output, std::cerr);
}
