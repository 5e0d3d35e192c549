#include <unistd.h>

#include <iostream>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "cli/cli_io.h"
#include "text/standard_descriptors.h"

int main(int argc, char** argv) {
    kivo::openClosedStandardDescriptors();
    kivo::ignoreFileSizeSignal();
    std::ios::sync_with_stdio(false);
    kivo::OutputFile output(STDOUT_FILENO);
    std::ostream out(&output);
    const std::vector<std::string> args(argv + 1, argv + argc);
    const int status = kivo::runCli(args, std::cin, out, std::cerr);
    return kivo::closeOutput(status, output, std::cerr);
}
