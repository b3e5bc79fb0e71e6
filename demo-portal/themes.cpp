#include "demo-portal/themes.h"

#include <algorithm>

namespace fundlens::demo {

namespace {

using enum Industry;
constexpr Listing Mainland = Listing::Mainland;
constexpr Listing HongKong = Listing::HongKong;
constexpr Listing Both = Listing::Both;
constexpr Listing None = Listing::None;

constexpr std::array<Theme, 36> kEquityThemes{{
    {{"成长", "cheng zhang"}},
    {{"价值", "jia zhi"}},
    {{"精选", "jing xuan"}},
    {{"优选", "you xuan"}},
    {{"蓝筹", "lan chou"}},
    {{"核心", "he xin"}},
    {{"稳健", "wen jian"}},
    {{"消费", "xiao fei"}, Mainland, Consumer, Liquor},
    {{"医疗健康", "yi liao jian kang"}, Mainland, Medicine},
    {{"新能源", "xin neng yuan"}, Mainland, NewEnergy},
    {{"科技创新", "ke ji chuang xin"}, Mainland, Tech, Chip},
    {{"高端制造", "gao duan zhi zao"}, Mainland, Manufacturing, Military},
    {{"先进制造", "xian jin zhi zao"}, Mainland, Manufacturing},
    {{"红利", "hong li"}, Mainland, Finance, Materials},
    {{"量化", "liang hua"}},
    {{"趋势", "qu shi"}},
    {{"动力", "dong li"}},
    {{"睿选", "rui xuan"}},
    {{"品质生活", "pin zhi sheng huo"}, Mainland, Consumer, Liquor},
    {{"产业升级", "chan ye sheng ji"}, Mainland, Manufacturing, Tech},
    {{"数字经济", "shu zi jing ji"}, Mainland, Tech, Media},
    {{"半导体", "ban dao ti"}, Mainland, Chip, Tech},
    {{"军工", "jun gong"}, Mainland, Military},
    {{"港股通", "gang gu tong"}, Both},
    {{"大盘", "da pan"}},
    {{"中小盘", "zhong xiao pan"}},
    {{"行业轮动", "hang ye lun dong"}},
    {{"均衡", "jun heng"}},
    {{"策略", "ce lve"}},
    {{"回报", "hui bao"}},
    {{"智选", "zhi xuan"}},
    {{"灵活配置", "ling huo pei zhi"}},
    {{"绿色低碳", "lv se di tan"}, Mainland, NewEnergy, Infrastructure},
    {{"新兴产业", "xin xing chan ye"}, Mainland, Tech, NewEnergy},
    {{"内需增长", "nei xu zeng zhang"}, Mainland, Consumer, Agriculture},
    {{"创新驱动", "chuang xin qu dong"}, Mainland, Tech, Medicine},
}};

constexpr std::array<Theme, 12> kBondThemes{{
    {{"稳利", "wen li"}},
    {{"安心", "an xin"}},
    {{"鑫享", "xin xiang"}},
    {{"双利", "shuang li"}},
    {{"丰利", "feng li"}},
    {{"添益", "tian yi"}},
    {{"永泰", "yong tai"}},
    {{"恒利", "heng li"}},
    {{"裕安", "yu an"}},
    {{"季季盈", "ji ji ying"}},
    {{"月月享", "yue yue xiang"}},
    {{"安泰回报", "an tai hui bao"}},
}};

constexpr std::array<Theme, 14> kIndexThemes{{
    {{"沪深300", "hu shen 300"}},
    {{"中证500", "zhong zheng 500"}},
    {{"中证1000", "zhong zheng 1000"}},
    {{"创业板", "chuang ye ban"}},
    {{"科创50", "ke chuang 50"}, Mainland, Chip, Tech},
    {{"中证白酒", "zhong zheng bai jiu"}, Mainland, Liquor},
    {{"中证医疗", "zhong zheng yi liao"}, Mainland, Medicine},
    {{"国证芯片", "guo zheng xin pian"}, Mainland, Chip},
    {{"中证军工", "zhong zheng jun gong"}, Mainland, Military},
    {{"新能源车", "xin neng yuan che"}, Mainland, NewEnergy, Manufacturing},
    {{"中证红利", "zhong zheng hong li"}, Mainland, Finance, Materials},
    {{"上证50", "shang zheng 50"}},
    {{"中证银行", "zhong zheng yin hang"}, Mainland, Finance},
    {{"光伏产业", "guang fu chan ye"}, Mainland, NewEnergy},
}};

// Overseas index funds hold no listed stocks the portal quotes.
constexpr std::array<Theme, 8> kQdiiThemes{{
    {{"全球科技", "quan qiu ke ji"}, HongKong, Tech},
    {{"纳斯达克100", "na si da ke 100"}, None},
    {{"标普500", "biao pu 500"}, None},
    {{"全球医疗", "quan qiu yi liao"}, HongKong, Medicine},
    {{"亚太精选", "ya tai jing xuan"}, HongKong},
    {{"海外互联网", "hai wai hu lian wang"}, HongKong, Tech, Media},
    {{"恒生科技", "heng sheng ke ji"}, HongKong, Tech},
    {{"全球新能源", "quan qiu xin neng yuan"}, HongKong, NewEnergy},
}};

constexpr std::array<Theme, 8> kFofThemes{{
    {{"养老目标2030", "yang lao mu biao 2030"}, None},
    {{"养老目标2035", "yang lao mu biao 2035"}, None},
    {{"养老目标2040", "yang lao mu biao 2040"}, None},
    {{"稳健养老", "wen jian yang lao"}, None},
    {{"积极配置", "ji ji pei zhi"}, None},
    {{"均衡配置", "jun heng pei zhi"}, None},
    {{"优选配置", "you xuan pei zhi"}, None},
    {{"盈泰三年持有", "ying tai san nian chi you"}, None},
}};

constexpr std::array<StockSuffix, 38> kStockSuffixes{{
    {"科技", Tech},           {"电子", Chip},           {"医药", Medicine},
    {"股份", Broad},          {"能源", NewEnergy},      {"材料", Materials},
    {"智能", Tech},           {"精工", Manufacturing},  {"电气", Manufacturing},
    {"控股", Broad},          {"生物", Medicine},       {"传媒", Media},
    {"信息", Tech},           {"环保", Infrastructure}, {"化工", Materials},
    {"机械", Manufacturing},  {"光电", Chip},           {"新材", Materials},
    {"药业", Medicine},       {"食品", Consumer},       {"酒业", Liquor},
    {"银行", Finance},        {"证券", Finance},        {"汽车", Manufacturing},
    {"重工", Military},       {"通信", Tech},           {"软件", Tech},
    {"微电", Chip},           {"锂业", NewEnergy},      {"光伏", NewEnergy},
    {"物流", Infrastructure}, {"建设", Infrastructure}, {"地产", Infrastructure},
    {"农业", Agriculture},    {"矿业", Materials},      {"航空", Military},
    {"电力", NewEnergy},      {"家居", Consumer},
}};

constexpr std::array<StockSuffix, 14> kHongKongSuffixes{{
    {"控股", Broad},
    {"集团", Broad},
    {"科技", Tech},
    {"互联", Tech},
    {"医疗", Medicine},
    {"生物科技", Medicine},
    {"汽车", Manufacturing},
    {"新能源", NewEnergy},
    {"银行", Finance},
    {"保险", Finance},
    {"置业", Infrastructure},
    {"消费", Consumer},
    {"传媒", Media},
    {"半导体", Chip},
}};

struct SectorFit {
    int code;
    Industry first;
    Industry second;
};

// Sectors not listed here are concept sectors without an industry of their own.
constexpr std::array<SectorFit, 91> kSectorFits{{
    {425, Infrastructure, Infrastructure},
    {429, Manufacturing, Manufacturing},
    {433, Agriculture, Agriculture},
    {437, Materials, Materials},
    {438, Consumer, Liquor},
    {447, Tech, Chip},
    {448, Tech, Tech},
    {451, Infrastructure, Infrastructure},
    {454, Materials, Materials},
    {477, Liquor, Liquor},
    {475, Finance, Finance},
    {474, Finance, Finance},
    {473, Finance, Finance},
    {471, Materials, Materials},
    {465, Medicine, Medicine},
    {459, Chip, Chip},
    {458, Manufacturing, Manufacturing},
    {456, Consumer, Consumer},
    {509, Media, Media},
    {499, Finance, Finance},
    {494, NewEnergy, Infrastructure},
    {493, NewEnergy, NewEnergy},
    {490, Military, Military},
    {481, Manufacturing, NewEnergy},
    {480, Military, Military},
    {479, Materials, Materials},
    {478, Materials, Materials},
    {545, Manufacturing, Manufacturing},
    {538, Materials, Materials},
    {537, Materials, Materials},
    {523, Materials, Materials},
    {519, Materials, Materials},
    {512, Materials, Materials},
    {579, Tech, Tech},
    {561, Materials, Materials},
    {554, Tech, Tech},
    {548, Medicine, Medicine},
    {547, Materials, Materials},
    {641, Tech, Chip},
    {640, Manufacturing, Tech},
    {634, Tech, Tech},
    {629, Military, Tech},
    {618, Tech, Infrastructure},
    {615, Medicine, Medicine},
    {693, Medicine, Medicine},
    {682, NewEnergy, NewEnergy},
    {675, Medicine, Medicine},
    {674, Chip, Chip},
    {668, Medicine, Medicine},
    {667, Military, Tech},
    {666, Chip, Tech},
    {662, Media, Media},
    {724, Infrastructure, Infrastructure},
    {714, Tech, Tech},
    {712, Infrastructure, Infrastructure},
    {704, Military, Military},
    {700, NewEnergy, NewEnergy},
    {696, Tech, Tech},
    {695, Materials, Materials},
    {800, Tech, Tech},
    {739, Materials, Materials},
    {737, Tech, Tech},
    {735, Tech, Tech},
    {732, Materials, Materials},
    {731, Agriculture, Materials},
    {728, Infrastructure, Infrastructure},
    {727, Medicine, Medicine},
    {854, Tech, Chip},
    {853, Media, Media},
    {840, Chip, Chip},
    {823, Tech, Manufacturing},
    {830, Tech, Tech},
    {814, Military, Military},
    {806, Medicine, Medicine},
    {903, Media, Media},
    {899, Medicine, Medicine},
    {896, Liquor, Consumer},
    {893, Chip, Consumer},
    {891, Chip, Chip},
    {884, Chip, Materials},
    {870, Medicine, Medicine},
    {860, Tech, Tech},
    {970, Tech, Tech},
    {963, Military, Military},
    {960, Chip, Chip},
    {940, Media, Consumer},
    {935, Chip, Chip},
    {922, Tech, Tech},
    {917, Chip, Tech},
    {916, Chip, Chip},
    {910, Manufacturing, Manufacturing},
}};

} // namespace

std::span<const Theme> FundThemes(FundType type) {
    switch (type) {
    case FundType::Bond:
        return kBondThemes;
    case FundType::Index:
        return kIndexThemes;
    case FundType::Qdii:
        return kQdiiThemes;
    case FundType::Fof:
        return kFofThemes;
    case FundType::Stock:
    case FundType::Mixed:
    case FundType::Lof:
        break;
    }
    return kEquityThemes;
}

std::span<const StockSuffix> StockSuffixes() {
    return kStockSuffixes;
}

std::span<const StockSuffix> HongKongStockSuffixes() {
    return kHongKongSuffixes;
}

std::array<Industry, 2> SectorIndustries(int sectorCode) {
    const auto* fit = std::find_if(kSectorFits.begin(), kSectorFits.end(),
                                   [&](const SectorFit& f) { return f.code == sectorCode; });
    if (fit == kSectorFits.end()) {
        return {Broad, Broad};
    }
    return {fit->first, fit->second};
}

} // namespace fundlens::demo
