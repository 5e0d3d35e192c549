#include "ops/operation.h"

#include <stdexcept>
#include <string>

namespace kivo {

bool ParamDeclaration::isEntry(TextView text) const {
    for (const ListEntry& e : entries)
        if (e.text == text) return true;
    return false;
}

const ParamDeclaration* OperationDeclaration::param(std::string_view option) const {
    for (const ParamDeclaration& p : params)
        if (p.option == option) return &p;
    return nullptr;
}

const ParamDeclaration* OperationDeclaration::paramAliased(std::string_view control) const {
    for (const ParamDeclaration& p : params)
        if (p.control == control) return &p;
    return nullptr;
}

OptionTexts OptionTexts::defaults(const OperationDeclaration& op, Date today) {
    OptionTexts texts;
    for (const ParamDeclaration& p : op.params)
        texts.m_texts[p.option] = p.kind == ParamKind::Date ? formatDate(today) : p.defaultText;
    return texts;
}

const Text& OptionTexts::text(std::string_view option) const {
    const auto it = m_texts.find(option);
    if (it == m_texts.end()) throw std::out_of_range("no option " + std::string(option));
    return it->second;
}

void OptionTexts::set(std::string_view option, Text text) {
    const auto it = m_texts.find(option);
    if (it != m_texts.end()) {
        it->second = std::move(text);
    } else {
        m_texts.emplace(std::string(option), std::move(text));
    }
}

int countFrom(TextView text, int min, int max) {
    if (text.empty()) throw RunTimeError("not a count");
    long long value = 0;
    for (const char16_t c : text) {
        if (c < u'0' || c > u'9') throw RunTimeError("not a count");
        value = value * 10 + (c - u'0');
        if (value > max) throw RunTimeError("count out of range");
    }
    if (value < min) throw RunTimeError("count out of range");
    return static_cast<int>(value);
}

Text decimalText(long long value) {
    const std::string digits = std::to_string(value);
    return Text(digits.begin(), digits.end());
}

Text spokenCaption(TextView caption, const std::vector<Text>& blanks) {
    Text spoken;
    std::size_t blank = 0;
    for (std::size_t i = 0; i < caption.size(); ++i) {
        const bool accessKey =
            caption.substr(i, 2) == u"(&" && i + 3 < caption.size() && caption[i + 3] == u')';
        if (accessKey) {
            i += 3;
        } else if (caption[i] != u'…') {
            spoken += caption[i];
        } else if (blank >= blanks.size()) {
            spoken += caption[i];
        } else if (const Text& words = blanks[blank++]; !words.empty()) {
            spoken += u"（" + words + u"）";
        }
    }
    while (!spoken.empty() && spoken.back() == u' ')
        spoken.pop_back();
    return spoken;
}

std::string arrayName(std::string_view array, int index) {
    return std::string(array) + "(" + std::to_string(index) + ")";
}

}  // namespace kivo
