#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace kivo {

/// The command-line front end: runs one operation on the upper text read from `in` as Execute
/// would, the result to `out`, message boxes and usage errors to `err`. Returns the exit status:
/// 0 result written, 1 the run ended without a result, 2 usage error.
int runCli(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err);

}  // namespace kivo
