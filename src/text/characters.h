#pragma once

#include <string_view>

namespace kivo {

inline constexpr char16_t kCr = u'\r';
inline constexpr char16_t kLf = u'\n';
inline constexpr char16_t kBs = u'\b';
inline constexpr char16_t kTab = u'\t';
inline constexpr std::u16string_view kCrLf = u"\r\n";

/// The list names of the special characters, as the window shows them.
inline constexpr std::u16string_view kCrLfName = u"改行(CrLf)";
inline constexpr std::u16string_view kLfName = u"改行(Lf)ラインフィード";
inline constexpr std::u16string_view kCrName = u"改行(Cr)キャリッジリターン";
inline constexpr std::u16string_view kBsName = u"BS(バックスペース)";
inline constexpr std::u16string_view kTabName = u"Tab(タブ)";

/// The half-width and full-width digits.
inline constexpr std::u16string_view kHalfDigits = u"0123456789";
inline constexpr std::u16string_view kFullDigits = u"０１２３４５６７８９";

inline bool isHalfDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}
inline bool isFullDigit(char16_t c) {
    return c >= u'０' && c <= u'９';
}

}  // namespace kivo
