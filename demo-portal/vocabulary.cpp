#include "demo-portal/vocabulary.h"

#include <array>
#include <cctype>

namespace fundlens::demo {

namespace {

constexpr std::array<Word, 36> kHouses{{
    {"瑞丰", "rui feng"},    {"景泰", "jing tai"},   {"弘远", "hong yuan"},
    {"恒信", "heng xin"},    {"新源", "xin yuan"},   {"睿达", "rui da"},
    {"同创", "tong chuang"}, {"远航", "yuan hang"},  {"金穗", "jin sui"},
    {"和誉", "he yu"},       {"鼎元", "ding yuan"},  {"中诚", "zhong cheng"},
    {"安盛", "an sheng"},    {"博睿", "bo rui"},     {"明远", "ming yuan"},
    {"嘉禾", "jia he"},      {"长青", "chang qing"}, {"泰和", "tai he"},
    {"汇智", "hui zhi"},     {"润泽", "run ze"},     {"开元", "kai yuan"},
    {"聚源", "ju yuan"},     {"盛泉", "sheng quan"}, {"天衡", "tian heng"},
    {"华晟", "hua sheng"},   {"鹏程", "peng cheng"}, {"致远", "zhi yuan"},
    {"国泓", "guo hong"},    {"东瑞", "dong rui"},   {"北辰", "bei chen"},
    {"南山", "nan shan"},    {"西岭", "xi ling"},    {"星河", "xing he"},
    {"正道", "zheng dao"},   {"青松", "qing song"},  {"万象", "wan xiang"},
}};

constexpr std::array<Word, 1> kStockWords{{{"股票", "gu piao"}}};
constexpr std::array<Word, 1> kMixedWords{{{"混合", "hun he"}}};
constexpr std::array<Word, 4> kBondWords{{
    {"债券", "zhai quan"},
    {"纯债", "chun zhai"},
    {"信用债", "xin yong zhai"},
    {"短债", "duan zhai"},
}};
constexpr std::array<Word, 3> kIndexWords{{
    {"指数", "zhi shu"},
    {"指数增强", "zhi shu zeng qiang"},
    {"ETF联接", "ETF lian jie"},
}};
constexpr std::array<Word, 2> kQdiiWords{{{"(QDII)", "QDII"}, {"混合(QDII)", "hun he QDII"}}};
constexpr std::array<Word, 2> kLofWords{{{"混合(LOF)", "hun he LOF"}, {"(LOF)", "LOF"}}};
constexpr std::array<Word, 1> kFofWords{{{"混合(FOF)", "hun he FOF"}}};

constexpr std::array<std::string_view, 40> kStockPrefixes{
    "华信", "东方", "长城", "天润", "金桥", "中科", "海联", "新华", "宏达", "永盛",
    "光明", "恒通", "远大", "川能", "江南", "北方", "南方", "湘江", "蜀道", "闽东",
    "粤海", "浙商", "苏美", "齐鲁", "燕山", "晋能", "皖通", "鄂武", "黔源", "滇池",
    "桂冠", "琼海", "辽港", "吉电", "龙江", "蒙草", "秦川", "楚天", "星辰", "瀚海",
};

constexpr std::array<std::string_view, 80> kSurnames{
    "王", "李", "张", "刘", "陈", "杨", "黄", "赵", "周", "吴", "徐", "孙", "马", "朱", "胡", "郭",
    "何", "林", "高", "罗", "郑", "梁", "谢", "宋", "唐", "许", "韩", "冯", "邓", "曹", "彭", "曾",
    "肖", "田", "董", "潘", "袁", "蔡", "蒋", "余", "于", "杜", "叶", "程", "魏", "苏", "吕", "丁",
    "任", "沈", "姚", "卢", "姜", "崔", "钟", "谭", "陆", "汪", "范", "金", "石", "廖", "贾", "夏",
    "韦", "方", "白", "邹", "孟", "熊", "秦", "邱", "江", "尹", "薛", "段", "雷", "侯", "龙", "陶",
};

constexpr std::array<std::string_view, 64> kGivenCharacters{
    "伟", "芳", "娜", "敏", "静", "丽", "强", "磊", "军", "洋", "勇", "艳", "杰", "娟", "涛", "明",
    "超", "秀", "霞", "平", "刚", "华", "飞", "鑫", "博", "宇", "浩", "凯", "健", "俊", "帆", "旭",
    "宁", "林", "欢", "阳", "晨", "辉", "鹏", "琳", "晶", "婷", "雪", "慧", "莉", "睿", "晖", "峰",
    "哲", "诚", "远", "航", "颖", "昊", "然", "泽", "铭", "轩", "逸", "毅", "彬", "斌", "骏", "翔",
};

constexpr std::array<std::string_view, 12> kUniversities{
    "北京大学",     "清华大学", "复旦大学", "上海交通大学", "浙江大学", "南京大学",
    "中国人民大学", "武汉大学", "中山大学", "厦门大学",     "南开大学", "上海财经大学",
};

} // namespace

std::span<const Word> FundHouses() {
    return kHouses;
}

std::span<const Word> FundTypeWords(FundType type) {
    switch (type) {
    case FundType::Stock:
        return kStockWords;
    case FundType::Mixed:
        return kMixedWords;
    case FundType::Bond:
        return kBondWords;
    case FundType::Index:
        return kIndexWords;
    case FundType::Qdii:
        return kQdiiWords;
    case FundType::Lof:
        return kLofWords;
    case FundType::Fof:
        return kFofWords;
    }
    return kMixedWords;
}

std::string_view FundTypeCaption(FundType type) {
    switch (type) {
    case FundType::Stock:
        return "股票型";
    case FundType::Mixed:
        return "混合型-偏股";
    case FundType::Bond:
        return "债券型-长债";
    case FundType::Index:
        return "指数型-股票";
    case FundType::Qdii:
        return "QDII-普通股票";
    case FundType::Lof:
        return "混合型-灵活";
    case FundType::Fof:
        return "FOF-稳健型";
    }
    return "混合型-偏股";
}

std::span<const std::string_view> StockPrefixes() {
    return kStockPrefixes;
}
std::span<const std::string_view> Surnames() {
    return kSurnames;
}
std::span<const std::string_view> GivenNameCharacters() {
    return kGivenCharacters;
}
std::span<const std::string_view> Universities() {
    return kUniversities;
}

namespace {

template <typename Fn>
void ForEachSyllable(std::string_view pinyin, Fn fn) {
    std::size_t i = 0;
    while (i < pinyin.size()) {
        while (i < pinyin.size() && pinyin[i] == ' ') {
            ++i;
        }
        std::size_t end = i;
        while (end < pinyin.size() && pinyin[end] != ' ') {
            ++end;
        }
        if (end > i) {
            fn(pinyin.substr(i, end - i));
        }
        i = end;
    }
}

bool IsSyllable(std::string_view word) {
    for (char c : word) {
        if (c < 'a' || c > 'z') {
            return false;
        }
    }
    return true;
}

char Upper(char c) {
    return static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
}

} // namespace

std::string PinyinInitials(std::string_view pinyin) {
    std::string out;
    ForEachSyllable(pinyin, [&](std::string_view word) {
        if (IsSyllable(word)) {
            out += Upper(word.front());
        } else {
            for (char c : word) {
                out += Upper(c);
            }
        }
    });
    return out;
}

std::string PinyinJoined(std::string_view pinyin) {
    std::string out;
    ForEachSyllable(pinyin, [&](std::string_view word) {
        for (char c : word) {
            out += Upper(c);
        }
    });
    return out;
}

} // namespace fundlens::demo
