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

constexpr std::array<Word, 36> kEquityThemes{{
    {"成长", "cheng zhang"},
    {"价值", "jia zhi"},
    {"精选", "jing xuan"},
    {"优选", "you xuan"},
    {"蓝筹", "lan chou"},
    {"核心", "he xin"},
    {"稳健", "wen jian"},
    {"消费", "xiao fei"},
    {"医疗健康", "yi liao jian kang"},
    {"新能源", "xin neng yuan"},
    {"科技创新", "ke ji chuang xin"},
    {"高端制造", "gao duan zhi zao"},
    {"先进制造", "xian jin zhi zao"},
    {"红利", "hong li"},
    {"量化", "liang hua"},
    {"趋势", "qu shi"},
    {"动力", "dong li"},
    {"睿选", "rui xuan"},
    {"品质生活", "pin zhi sheng huo"},
    {"产业升级", "chan ye sheng ji"},
    {"数字经济", "shu zi jing ji"},
    {"半导体", "ban dao ti"},
    {"军工", "jun gong"},
    {"港股通", "gang gu tong"},
    {"大盘", "da pan"},
    {"中小盘", "zhong xiao pan"},
    {"行业轮动", "hang ye lun dong"},
    {"均衡", "jun heng"},
    {"策略", "ce lve"},
    {"回报", "hui bao"},
    {"智选", "zhi xuan"},
    {"灵活配置", "ling huo pei zhi"},
    {"绿色低碳", "lv se di tan"},
    {"新兴产业", "xin xing chan ye"},
    {"内需增长", "nei xu zeng zhang"},
    {"创新驱动", "chuang xin qu dong"},
}};

constexpr std::array<Word, 12> kBondThemes{{
    {"稳利", "wen li"},
    {"安心", "an xin"},
    {"鑫享", "xin xiang"},
    {"双利", "shuang li"},
    {"丰利", "feng li"},
    {"添益", "tian yi"},
    {"永泰", "yong tai"},
    {"恒利", "heng li"},
    {"裕安", "yu an"},
    {"季季盈", "ji ji ying"},
    {"月月享", "yue yue xiang"},
    {"安泰回报", "an tai hui bao"},
}};

constexpr std::array<Word, 14> kIndexThemes{{
    {"沪深300", "hu shen 300"},
    {"中证500", "zhong zheng 500"},
    {"中证1000", "zhong zheng 1000"},
    {"创业板", "chuang ye ban"},
    {"科创50", "ke chuang 50"},
    {"中证白酒", "zhong zheng bai jiu"},
    {"中证医疗", "zhong zheng yi liao"},
    {"国证芯片", "guo zheng xin pian"},
    {"中证军工", "zhong zheng jun gong"},
    {"新能源车", "xin neng yuan che"},
    {"中证红利", "zhong zheng hong li"},
    {"上证50", "shang zheng 50"},
    {"中证银行", "zhong zheng yin hang"},
    {"光伏产业", "guang fu chan ye"},
}};

constexpr std::array<Word, 8> kQdiiThemes{{
    {"全球科技", "quan qiu ke ji"},
    {"纳斯达克100", "na si da ke 100"},
    {"标普500", "biao pu 500"},
    {"全球医疗", "quan qiu yi liao"},
    {"亚太精选", "ya tai jing xuan"},
    {"海外互联网", "hai wai hu lian wang"},
    {"恒生科技", "heng sheng ke ji"},
    {"全球新能源", "quan qiu xin neng yuan"},
}};

constexpr std::array<Word, 8> kFofThemes{{
    {"养老目标2030", "yang lao mu biao 2030"},
    {"养老目标2035", "yang lao mu biao 2035"},
    {"养老目标2040", "yang lao mu biao 2040"},
    {"稳健养老", "wen jian yang lao"},
    {"积极配置", "ji ji pei zhi"},
    {"均衡配置", "jun heng pei zhi"},
    {"优选配置", "you xuan pei zhi"},
    {"盈泰三年持有", "ying tai san nian chi you"},
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

constexpr std::array<std::string_view, 38> kStockSuffixes{
    "科技", "电子", "医药", "股份", "能源", "材料", "智能", "精工", "电气", "控股",
    "生物", "传媒", "信息", "环保", "化工", "机械", "光电", "新材", "药业", "食品",
    "酒业", "银行", "证券", "汽车", "重工", "通信", "软件", "微电", "锂业", "光伏",
    "物流", "建设", "地产", "农业", "矿业", "航空", "电力", "家居",
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

std::span<const Word> FundThemes(FundType type) {
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
std::span<const std::string_view> StockSuffixes() {
    return kStockSuffixes;
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
