#pragma once

#include <stdexcept>

namespace kivo {

/// A failure inside an operation (overflow of a fixed-width quantity, a date out of range, a value
/// the controls cannot hold): the operation's frame turns it into the operation's own message.
class RunTimeError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace kivo
