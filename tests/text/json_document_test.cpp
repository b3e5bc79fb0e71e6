#include "text/json_document.h"

#include <cmath>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace fundlens {
namespace {

JsonDocument Parsed(const Text& text) {
    JsonDocument doc;
    EXPECT_TRUE(doc.Parse(text)) << text;
    return doc;
}

Text Nested(int depth, const Text& inner = "") {
    return Text(static_cast<std::size_t>(depth), '[') + inner +
           Text(static_cast<std::size_t>(depth), ']');
}

TEST(JsonDocument, SearchAnswer) {
    const JsonDocument doc = Parsed(R"({"Datas":[{"CODE":"004139","NAME":"x"}],"ErrCode":0})");
    EXPECT_EQ(doc.Count("Datas"), 1);
    EXPECT_EQ(doc.GetText("Datas[0].NAME"), "x");
    EXPECT_EQ(doc.GetText("Datas[0]['CODE']"), "004139");
    EXPECT_EQ(doc.GetText("ErrCode"), "0");
    EXPECT_EQ(doc.GetText("Datas[5].NAME"), "");
    EXPECT_EQ(doc.Count("Missing"), -2);
    EXPECT_EQ(doc.Count("Missing.Below"), 0);
    EXPECT_EQ(doc.Count(), 2);
}

TEST(JsonDocument, RankingAnswerWithUnquotedNames) {
    const Text answer = "{datas:[\"000001,某某成长混合A,MCZZHHA,2026-12-07,1.2345\","
                        "\"000002,另一基金,LYJJ,2026-12-07,--\"],allRecords:2,pageIndex:1,"
                        "pageNum:50,allPages:1}"_gbk;
    const JsonDocument doc = Parsed(answer);
    EXPECT_EQ(doc.GetText("allPages"), "1");
    ASSERT_EQ(doc.Count("datas"), 2);
    EXPECT_EQ(doc.GetText("datas[0]"), "000001,某某成长混合A,MCZZHHA,2026-12-07,1.2345"_gbk);
    EXPECT_EQ(doc.GetText("datas[1]"), "000002,另一基金,LYJJ,2026-12-07,--"_gbk);
}

TEST(JsonDocument, PathStartingWithBracketAddressesTheDocument) {
    const JsonDocument doc = Parsed(R"([{"f12":"600519"},{"f12":"000858"}])");
    EXPECT_EQ(doc.GetText("[0].f12"), "600519");
    EXPECT_EQ(doc.GetText("[1]['f12']"), "000858");
    EXPECT_EQ(doc.Count(""), 2);
}

struct ParseCase {
    const char* name;
    Text text;
    Text json; // Stringify after parsing
};

void PrintTo(const ParseCase& c, std::ostream* os) {
    *os << c.name;
}

class JsonParseAccepts : public testing::TestWithParam<ParseCase> {};

TEST_P(JsonParseAccepts, ScriptLiterals) {
    JsonDocument doc;
    ASSERT_TRUE(doc.Parse(GetParam().text)) << GetParam().text;
    EXPECT_EQ(doc.Stringify(), GetParam().json);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, JsonParseAccepts,
    testing::Values(
        ParseCase{"StandardJson", R"( {"a": [1, 2.5, "x", true, false, null], "b": {}} )",
                  R"({"a":[1,2.5,"x",true,false,null],"b":{}})"},
        ParseCase{"UnquotedNames", "{datas:[],$id_1:1,名称:2}"_gbk,
                  "{\"datas\":[],\"$id_1\":1,\"名称\":2}"_gbk},
        ParseCase{"SingleQuotes", R"({'a':'it\'s "x"'})", R"({"a":"it's \"x\""})"},
        ParseCase{"ScriptEscapes", R"(["\x41\u0042\u{43}\/\v\0", "a\
b"])",
                  R"(["ABC/\u000b\u0000","ab"])"},
        ParseCase{"LegacyOctalEscape", R"("\101\7")", R"("A\u0007")"},
        ParseCase{"IdentityEscape", R"("\q\%")", R"("q%")"},
        ParseCase{"SurrogatePair", R"("\ud83d\ude00")", "\"?\""},
        ParseCase{"LoneSurrogate", R"("\ud800x")", "\"?x\""},
        ParseCase{"ControlCharactersEscapedOnOutput", "\"a\tb\x01\"", R"("a\tb\u0001")"},
        ParseCase{"TrailingCommas", "{a:[1,2,],}", R"({"a":[1,2]})"},
        ParseCase{"ArrayHoles", "[1,,2,,]", "[1,null,2,null]"},
        ParseCase{"DuplicateNameKeepsPlace", "{a:1,b:2,a:3}", R"({"a":3,"b":2})"},
        ParseCase{"NumberForms", "[0x1F,017,019,-.5,+5,5.,1e21,1.5e-7,-0,1E+2]",
                  "[31,15,19,-0.5,5,5,1e+21,1.5e-7,0,100]"},
        ParseCase{"LargeIntegers", "[1628571587137,9007199254740993,123456789012345678901]",
                  "[1628571587137,9007199254740992,123456789012345680000]"},
        ParseCase{"ShortestDoubles", "[0.30000000000000004,1.2300,100.5,0.000001]",
                  "[0.30000000000000004,1.23,100.5,0.000001]"},
        ParseCase{"Comments", "/* lead */ {a:1} // tail", R"({"a":1})"},
        ParseCase{"ChineseBlanks", "　{a:1}　"_gbk, R"({"a":1})"},
        ParseCase{"Scalars", "'x'", R"("x")"}, ParseCase{"Number", " 42 ", "42"},
        ParseCase{"False", "false", "false"},
        ParseCase{"NamesThatAreWords", "{null:1,true:2,1:3}", R"({"null":1,"true":2,"1":3})"}),
    [](const auto& info) { return std::string(info.param.name); });

struct RejectCase {
    const char* name;
    Text text;
};

void PrintTo(const RejectCase& c, std::ostream* os) {
    *os << c.name;
}

class JsonParseRejects : public testing::TestWithParam<RejectCase> {};

TEST_P(JsonParseRejects, LeavesNull) {
    JsonDocument doc;
    ASSERT_TRUE(doc.Parse("{a:1}"));
    EXPECT_FALSE(doc.Parse(GetParam().text)) << GetParam().text;
    EXPECT_EQ(doc.Stringify(), "null");
    EXPECT_EQ(doc.Count(), -2);
    EXPECT_EQ(doc.TypeOf(""), JsonDocument::Null);
    EXPECT_EQ(doc.GetText("a"), "");
    EXPECT_EQ(doc.Count("a"), 0); // a step on null fails
    EXPECT_FALSE(doc.Exists("a"));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, JsonParseRejects,
    testing::Values(RejectCase{"Empty", ""}, RejectCase{"Blank", " \r\n"},
                    RejectCase{"Null", "null"}, RejectCase{"NullInBlanks", " null "},
                    RejectCase{"CutObject", R"({"a":[1,2)"}, RejectCase{"CutString", R"({"a":"x)"},
                    RejectCase{"CutAfterComma", "[1,"}, RejectCase{"CutAfterColon", "{a:"},
                    RejectCase{"Semicolon", "{a:1};"}, RejectCase{"Jsonp", "cb({a:1})"},
                    RejectCase{"Statement", "var x = 1"}, RejectCase{"TwoValues", "{a:1}{b:2}"},
                    RejectCase{"TwoNumbers", "1 2"}, RejectCase{"Reference", "{a:b}"},
                    RejectCase{"Call", "{a:f()}"}, RejectCase{"Undefined", "{a:undefined}"},
                    RejectCase{"NaN", "NaN"}, RejectCase{"Infinity", "-Infinity"},
                    RejectCase{"MissingColon", "{a 1}"}, RejectCase{"MissingComma", "[1 2]"},
                    RejectCase{"DoubleCommaInObject", "{a:1,,}"}, RejectCase{"OnlyComma", "{,}"},
                    RejectCase{"RawLineBreak", "\"a\nb\""}, RejectCase{"PartialWord", "tru"},
                    RejectCase{"LongerWord", "nullx"}, RejectCase{"NumberThenName", "1a"},
                    RejectCase{"EmptyHex", "0x"}, RejectCase{"EmptyExponent", "1e"},
                    RejectCase{"DoubleSign", "--1"}, RejectCase{"OctalWithFraction", "01.5"},
                    RejectCase{"FractionName", "{1.5:1}"}, RejectCase{"DashInName", "{a-b:1}"},
                    RejectCase{"ShortHexEscape", R"("\x4")"},
                    RejectCase{"ShortUnicodeEscape", R"("\u12")"},
                    RejectCase{"OpenComment", "{a:1} /* open"}, RejectCase{"CloseWithoutOpen", "]"},
                    RejectCase{"MismatchedBrackets", "[1}"},
                    RejectCase{"TooDeep", Nested(JsonDocument::MaxDepth + 1)}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(JsonDocument, NestingUpToTheLimitParses) {
    JsonDocument doc;
    ASSERT_TRUE(doc.Parse(Nested(JsonDocument::MaxDepth, "7")));
    EXPECT_EQ(doc.GetText(""), "7");
    EXPECT_EQ(doc.Stringify(), Nested(JsonDocument::MaxDepth, "7"));
}

const Text Sample = R"({n:1.2300, s:"1.2300", big:1628571587137, neg:-0.5, t:true, f:false,
    z:null, arr:[1,[2,[3,null]],"x",{a:1},true,0.1], o:{a:1,"0":"zero","10":"ten"}, e:[],
    frac:0.30000000000000004, tiny:1e-7, huge:1e21, cn:"基金", blank:""})"_gbk;

struct ReadCase {
    const char* name;
    Text path;
    Text text;
    Text json;
    int count;
    int type;
};

void PrintTo(const ReadCase& c, std::ostream* os) {
    *os << c.name;
}

class JsonReadTest : public testing::TestWithParam<ReadCase> {};

TEST_P(JsonReadTest, TextJsonCountAndType) {
    const JsonDocument doc = Parsed(Sample);
    const ReadCase& c = GetParam();
    EXPECT_EQ(doc.GetText(c.path), c.text);
    EXPECT_EQ(doc.GetText(c.path, true), c.json);
    EXPECT_EQ(doc.StringifyMember(c.path), c.json);
    EXPECT_EQ(doc.Count(c.path), c.count);
    EXPECT_EQ(doc.TypeOf(c.path), c.type);
}

using J = JsonDocument;
INSTANTIATE_TEST_SUITE_P(
    Cases, JsonReadTest,
    testing::Values(ReadCase{"NumberThirteenDigits", "n", "1.23", "1.23", 1, J::Number},
                    ReadCase{"TextUnchanged", "s", "1.2300", "\"1.2300\"", 1, J::String},
                    ReadCase{"BigInteger", "big", "1628571587137", "1628571587137", 1, J::Number},
                    ReadCase{"Negative", "neg", "-0.5", "-0.5", 1, J::Number},
                    ReadCase{"True", "t", "true", "true", 1, J::Other},
                    ReadCase{"False", "f", "false", "false", 1, J::Other},
                    ReadCase{"Null", "z", "", "null", -2, J::Null},
                    ReadCase{"Missing", "nothing", "", "", -2, J::Null},
                    ReadCase{"StepOnMissing", "nothing.x", "", "", 0, J::Other},
                    ReadCase{"StepOnNull", "z.x", "", "", 0, J::Other},
                    ReadCase{"StepOnNumber", "n.x", "", "", -2, J::Null},
                    ReadCase{"ArrayJoined", "arr", "1,2,3,,x,[object Object],true,0.1",
                             R"([1,[2,[3,null]],"x",{"a":1},true,0.1])", 6, J::Array},
                    ReadCase{"NestedIndex", "arr[1][1][0]", "3", "3", 1, J::Number},
                    ReadCase{"NullElement", "arr[1][1][1]", "", "null", -2, J::Null},
                    ReadCase{"PastTheEnd", "arr[6]", "", "", -2, J::Null},
                    ReadCase{"NegativeIndex", "arr[-1]", "", "", -2, J::Null},
                    ReadCase{"QuotedIndexOnArray", "arr['2']", "x", "\"x\"", 1, J::String},
                    ReadCase{"DotIndexOnArray", "arr.2", "x", "\"x\"", 1, J::String},
                    ReadCase{"ArrayLength", "arr.length", "6", "6", 1, J::Number},
                    ReadCase{"TextLength", "cn.length", "2", "2", 1, J::Number},
                    ReadCase{"Object", "o", "[object Object]", R"({"a":1,"0":"zero","10":"ten"})",
                             3, J::Object},
                    ReadCase{"QuotedName", "o[\"a\"]", "1", "1", 1, J::Number},
                    ReadCase{"IndexOnObject", "o[0]", "zero", "\"zero\"", 1, J::String},
                    ReadCase{"IndexWithLeadingZero", "o[010]", "ten", "\"ten\"", 1, J::String},
                    ReadCase{"NoLengthOnObject", "o.length", "", "", -2, J::Null},
                    ReadCase{"EmptyArray", "e", "", "[]", 0, J::Array},
                    ReadCase{"ShortestVersusThirteen", "frac", "0.3", "0.30000000000000004", 1,
                             J::Number},
                    ReadCase{"Tiny", "tiny", "1e-07", "1e-7", 1, J::Number},
                    ReadCase{"Huge", "huge", "1e+21", "1e+21", 1, J::Number},
                    ReadCase{"Chinese", "cn", "基金"_gbk, "\"基金\""_gbk, 1, J::String},
                    ReadCase{"EmptyText", "blank", "", "\"\"", 1, J::String},
                    ReadCase{"TrailingDot", "o.", "", "", 0, J::Other},
                    ReadCase{"LeadingDot", ".o", "", "", 0, J::Other},
                    ReadCase{"DoubleDot", "o..a", "", "", 0, J::Other},
                    ReadCase{"OpenBracket", "arr[", "", "", 0, J::Other},
                    ReadCase{"EmptyBracket", "arr[]", "", "", 0, J::Other},
                    ReadCase{"NameInBracket", "arr[x]", "", "", 0, J::Other},
                    ReadCase{"OpenQuote", "o['a]", "", "", 0, J::Other},
                    ReadCase{"Expression", "o.a+1", "", "", 0, J::Other}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(JsonDocument, NumbersAndExistence) {
    const JsonDocument doc = Parsed(Sample);
    EXPECT_DOUBLE_EQ(doc.GetNumber("n"), 1.23);
    EXPECT_DOUBLE_EQ(doc.GetNumber("s"), 1.23);
    EXPECT_DOUBLE_EQ(doc.GetNumber("t"), 1);
    EXPECT_DOUBLE_EQ(doc.GetNumber("cn"), 0);
    EXPECT_DOUBLE_EQ(doc.GetNumber("o"), 0);
    EXPECT_DOUBLE_EQ(doc.GetNumber("nothing.x"), 0);
    EXPECT_TRUE(doc.Exists("f"));
    EXPECT_TRUE(doc.Exists("blank"));
    EXPECT_FALSE(doc.Exists("z"));
    EXPECT_FALSE(doc.Exists("nothing"));
    EXPECT_FALSE(doc.Exists("nothing.x"));
}

TEST(JsonDocument, TextsEndAtANulCharacter) {
    // Texts hold no NUL: an escaped one ends the text there; the JSON form keeps the escape.
    const JsonDocument doc =
        Parsed(R"({s:"ab\u0000cd", octal:"\0x", hex:"x\x00y", arr:["p\u0000q","r"], "k\0ey":1})");
    const struct {
        const char* path;
        Text text;
    } cases[] = {{"s", "ab"}, {"octal", ""}, {"hex", "x"}, {"arr", "p"}, {"arr[1]", "r"}};
    for (const auto& c : cases)
        EXPECT_EQ(doc.GetText(c.path), c.text) << c.path;
    EXPECT_EQ(doc.GetText("s", true), R"("ab\u0000cd")");
    std::vector<Text> keys;
    doc.Keys("", keys);
    EXPECT_EQ(keys, (std::vector<Text>{"s", "octal", "hex", "arr", "k"}));
}

TEST(JsonDocument, KeysInDocumentOrder) {
    const JsonDocument doc = Parsed("{b:1,a:{y:1,x:2},'2':3,名:[7,8]}"_gbk);
    std::vector<Text> keys{"stale"};
    EXPECT_EQ(doc.Keys("", keys), 4);
    EXPECT_EQ(keys, (std::vector<Text>{"b", "a", "2", "名"_gbk}));
    EXPECT_EQ(doc.Keys("a", keys), 2);
    EXPECT_EQ(keys, (std::vector<Text>{"y", "x"}));
    EXPECT_EQ(doc.Keys("名"_gbk, keys), 2);
    EXPECT_EQ(keys, (std::vector<Text>{"0", "1"}));
    EXPECT_EQ(doc.Keys("b", keys), 0);
    EXPECT_TRUE(keys.empty());
    keys = {"stale"};
    EXPECT_EQ(doc.Keys("none.x", keys), 0);
    EXPECT_TRUE(keys.empty());
}

TEST(JsonDocument, SettersAssignLikeScripts) {
    JsonDocument doc = Parsed("{arr:[1],s:'t',z:null}");
    EXPECT_TRUE(doc.SetText("a", "x"));
    EXPECT_TRUE(doc.SetText("arr[1]", "y"));
    EXPECT_TRUE(doc.SetText("arr[4]", "w")); // past the end: padded with null
    EXPECT_TRUE(doc.SetText("arr[0]", "it's \"q\""));
    EXPECT_TRUE(doc.SetJson("o", "{p:[1,'2'],q:{}}"));
    EXPECT_TRUE(doc.SetJson("o.q.r", ""));
    EXPECT_TRUE(doc.SetText("o['new name']", "基"_gbk));
    EXPECT_TRUE(doc.SetNumber("n", 0.1 + 0.2)); // stored as "%.13g" writes it
    EXPECT_TRUE(doc.SetNumber("big", 1628571587137.0));
    const Text expected = R"({"arr":["it's \"q\"","y",null,null,"w"],"s":"t","z":null,"a":"x",)"
                          R"("o":{"p":[1,"2"],"q":{"r":{}},"new name":"基"},"n":0.3,)"
                          R"("big":1628571587137})"_gbk;
    EXPECT_EQ(doc.Stringify(), expected);

    // Assignments a script refuses leave the document as it was.
    EXPECT_FALSE(doc.SetText("none.x", "1"));
    EXPECT_FALSE(doc.SetText("z.x", "1"));
    EXPECT_FALSE(doc.SetText("s.x", "1"));
    EXPECT_FALSE(doc.SetText("arr.name", "1"));
    EXPECT_FALSE(doc.SetText("arr[-1]", "1"));
    EXPECT_FALSE(doc.SetText("arr[99999999]", "1"));
    EXPECT_FALSE(doc.SetText("a[", "1"));
    EXPECT_FALSE(doc.SetJson("o", "{bad"));
    EXPECT_FALSE(doc.SetJson("o", "alert(1)"));
    EXPECT_FALSE(doc.SetNumber("n", std::nan("")));
    EXPECT_EQ(doc.Stringify(), expected);

    EXPECT_TRUE(doc.SetText("", "whole"));
    EXPECT_EQ(doc.Stringify(), "\"whole\"");
}

TEST(JsonDocument, NestingStaysBounded) {
    JsonDocument doc;
    EXPECT_TRUE(doc.SetJson("a", Nested(JsonDocument::MaxDepth - 1)));
    EXPECT_FALSE(doc.SetJson("b", Nested(JsonDocument::MaxDepth)));
    std::string path = "a";
    for (int k = 0; k < 600; ++k)
        path += "[0]";
    EXPECT_FALSE(doc.Push(path, "1"));
    EXPECT_EQ(doc.Count("a"), 1);
}

TEST(JsonDocument, PushAppendsOrStartsAnArray) {
    JsonDocument doc = Parsed("{s:'t',list:[1]}");
    EXPECT_TRUE(doc.Push("list", "a"));
    EXPECT_TRUE(doc.Push("list", "{b:2}", true));
    EXPECT_TRUE(doc.Push("s", "1", true));
    EXPECT_TRUE(doc.Push("fresh", "x"));
    EXPECT_FALSE(doc.Push("none.x", "1"));
    EXPECT_FALSE(doc.Push("list", "{bad", true));
    EXPECT_EQ(doc.Stringify(), R"({"s":[1],"list":[1,"a",{"b":2}],"fresh":["x"]})");
    EXPECT_TRUE(doc.Push("", "1", true));
    EXPECT_EQ(doc.Stringify(), "[1]");
}

TEST(JsonDocument, ElementsOfTheDocumentArray) {
    JsonDocument doc;
    doc.Reset(JsonDocument::Array);
    EXPECT_TRUE(doc.SetElement(2, "x"));
    EXPECT_TRUE(doc.SetElement(0, "[1,2]", true));
    EXPECT_EQ(doc.Stringify(), R"([[1,2],null,"x"])");
    EXPECT_EQ(doc.GetElementText(0), "1,2");
    EXPECT_EQ(doc.GetElementText(1, "[0]"), "2");
    EXPECT_EQ(doc.GetElementText(2, "", true), "\"x\"");
    EXPECT_EQ(doc.GetElementText(3), "");
    EXPECT_EQ(doc.GetElement(0).Count(), 2);
    EXPECT_EQ(doc.GetElement(7).Stringify(), "null");
    EXPECT_FALSE(doc.SetElement(-1, "x"));
    EXPECT_TRUE(doc.RemoveElement(1));
    EXPECT_FALSE(doc.RemoveElement(2));
    EXPECT_FALSE(doc.RemoveElement(-1));
    EXPECT_EQ(doc.Stringify(), R"([[1,2],"x"])");

    doc.Reset(2); // not a container code: no change
    EXPECT_EQ(doc.Stringify(), R"([[1,2],"x"])");
    doc.Reset(JsonDocument::Object);
    EXPECT_FALSE(doc.SetElement(0, "x"));
    EXPECT_FALSE(doc.RemoveElement(0));
    EXPECT_EQ(doc.Stringify(), "{}");
}

TEST(JsonDocument, MembersAreCopies) {
    JsonDocument doc = Parsed("{o:{a:[1,2]},n:5}");
    JsonDocument member = doc.GetMember("o");
    EXPECT_TRUE(member.SetText("a", "changed"));
    EXPECT_EQ(doc.GetText("o.a"), "1,2");
    EXPECT_EQ(member.GetText("a"), "changed");
    EXPECT_EQ(doc.GetMember("n").GetText(""), "5");
    EXPECT_EQ(doc.GetMember("none").Count(), -2);
    EXPECT_EQ(doc.GetMember("none.x").Stringify(), "null");

    JsonDocument copy = doc;
    copy.Clear();
    EXPECT_EQ(doc.Count(), 2);
    JsonDocument moved = std::move(copy);
    EXPECT_EQ(moved.Stringify(), "{}");
    copy = doc; // a moved-from document can be assigned again
    EXPECT_EQ(copy.Count(), 2);
}

TEST(JsonDocument, AssignReturnsTruthiness) {
    const struct {
        Text value;
        bool isJson;
        bool truthy;
        Text json;
    } cases[] = {
        {"", false, false, "\"\""},      {"x", false, true, "\"x\""}, {"0", true, false, "0"},
        {"-0.0", true, false, "0"},      {"2", true, true, "2"},      {"[]", true, true, "[]"},
        {"{}", true, true, "{}"},        {"''", true, false, "\"\""}, {"null", true, false, "null"},
        {"false", true, false, "false"}, {"", true, true, "{}"},
    };
    for (const auto& c : cases) {
        JsonDocument doc;
        EXPECT_EQ(doc.Assign(c.value, c.isJson), c.truthy) << c.value;
        EXPECT_EQ(doc.Stringify(), c.json) << c.value;
    }
    JsonDocument doc = Parsed("[1]");
    EXPECT_FALSE(doc.Assign("{bad", true));
    EXPECT_EQ(doc.Stringify(), "[1]");
}

TEST(JsonEscape, EscapedTextParsesBackToTheSameString) {
    const std::string samples[] = {"",
                                   "plain",
                                   "say \"hi\"",
                                   "back\\slash",
                                   "tab\tnew\nline\r",
                                   std::string("nul\0bell\a", 9),
                                   "基金 ü"};
    for (const std::string& sample : samples) {
        SCOPED_TRACE(sample);
        const std::string escaped = JsonEscape(sample);
        for (char c : escaped)
            EXPECT_GE(static_cast<unsigned char>(c), 0x20) << "no raw control character";
        JsonDocument document;
        ASSERT_TRUE(document.Parse(Utf8ToText("[\"" + escaped + "\"]")));
        // A text ends at a NUL character.
        EXPECT_EQ(TextToUtf8(document.GetText("[0]")), sample.substr(0, sample.find('\0')));
    }
}

TEST(JsonDocument, LargeObjectWithRepeatedNames) {
    Text text = "{";
    for (int k = 0; k < 100; ++k)
        text += "k" + std::to_string(k) + ":" + std::to_string(k) + ",";
    text += "k5:'again',k99:'last'}";
    const JsonDocument doc = Parsed(text);
    EXPECT_EQ(doc.Count(), 100);
    EXPECT_EQ(doc.GetText("k5"), "again");
    EXPECT_EQ(doc.GetText("k99"), "last");
    std::vector<Text> keys;
    doc.Keys("", keys);
    EXPECT_EQ(keys[5], "k5");
    EXPECT_EQ(keys.back(), "k99");
}

} // namespace
} // namespace fundlens
