// Word lists of the generated market: fund houses, fund type words, stock names, people's names.
// Fund words carry their pinyin (syllables separated by blanks; ASCII words stand as they are)
// so that the portal can answer searches by pinyin initials.
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace fundlens::demo {

struct Word {
    std::string_view text;   // UTF-8
    std::string_view pinyin; // "cheng zhang", "hu shen 300"
};

enum class FundType { Stock, Mixed, Bond, Index, Qdii, Lof, Fof };
inline constexpr int FundTypeCount = 7;

std::span<const Word> FundHouses();
// Type words for one fund type.
std::span<const Word> FundTypeWords(FundType type);

// The portal's type caption on the profile pages ("混合型-偏股").
std::string_view FundTypeCaption(FundType type);

std::span<const std::string_view> StockPrefixes();
std::span<const std::string_view> Surnames();
std::span<const std::string_view> GivenNameCharacters();
std::span<const std::string_view> Universities();

// "RFCZHHA": the first letter of every syllable, ASCII words kept whole, upper case.
std::string PinyinInitials(std::string_view pinyin);
// "RUIFENGCHENGZHANGHUNHEA": the syllables joined, upper case.
std::string PinyinJoined(std::string_view pinyin);

} // namespace fundlens::demo
