#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>

namespace kivo {

/// A failure inside an operation (overflow of a fixed-width quantity, a date out of range, a value
/// the controls cannot hold): the operation's frame turns it into the operation's own message.
class RunTimeError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

/// A result longer than the run's budget (what memory, or the window's pane, allows), refused
/// before it is made: the units asked for, and those allowed.
class ResultBeyondBudget : public RunTimeError {
public:
    ResultBeyondBudget(unsigned long long asked, std::size_t allowed)
        : RunTimeError("result beyond the budget"), units(asked), budget(allowed) {}

    unsigned long long units;
    std::size_t budget;
};

/// A parameter or an input that an operation refuses with a message of its own, told in English
/// (what(), for the command line's usage errors) and in Japanese (for the message box).
class RefusedInput : public std::runtime_error {
public:
    RefusedInput(const std::string& english, std::u16string japanese)
        : std::runtime_error(english), m_japanese(std::move(japanese)) {}

    const std::u16string& japanese() const { return m_japanese; }

private:
    std::u16string m_japanese;
};

/// Decimal digits of a count or position, for messages.
inline std::u16string decimalUnits(std::size_t n) {
    std::u16string digits;
    do {
        digits.insert(digits.begin(), static_cast<char16_t>(u'0' + n % 10));
        n /= 10;
    } while (n != 0);
    return digits;
}

}  // namespace kivo
