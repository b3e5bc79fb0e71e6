// Throughput of the text layer on answers shaped like the portal's.
#include "text/json_document.h"
#include "text/regex_matcher.h"
#include "text/text.h"

#include <benchmark/benchmark.h>
#include <string>

namespace fundlens {
namespace {

constexpr int PageCells = 2000;
constexpr std::size_t PageBytes = 300 * 1024;
constexpr int RankRecords = 10000;

// A GBK table page of about 300 KB holding PageCells cells of class 'num' among Chinese text.
const Text& RiskPage() {
    static const Text page = [] {
        const int rows = PageCells / 4;
        const Text filler = "近一年收益率同类排名靠前，基金经理任职时间较长，风险等级中高。"_gbk;
        Text body;
        for (int r = 0; r < rows; ++r) {
            body += "<tr><td><a href='/fund/" + std::to_string(100000 + r) + ".html'>" +
                    "某某成长混合A"_gbk + "</a></td>";
            for (int c = 0; c < 4; ++c)
                body += "<td class='num'>" + std::to_string((r * 7 + c * 13) % 200 - 100) + "." +
                        std::to_string(10 + c) + "%</td>";
            body += "<td>";
            const std::size_t rowEnd = PageBytes * static_cast<std::size_t>(r + 1) / rows;
            while (body.size() + filler.size() + 12 < rowEnd)
                body += filler;
            body += "</td></tr>\r\n";
        }
        return "<html><head><meta charset=\"gb2312\"></head><body><table>\r\n"_gbk + body +
               "</table></body></html>";
    }();
    return page;
}

void RegexCellsOfAPage(benchmark::State& state) {
    const Text& page = RiskPage();
    for (auto _ : state) {
        RegexMatcher m;
        m.Create("class='num'>.*?</td>", page);
        const int count = m.MatchCount();
        if (count != PageCells) {
            state.SkipWithError("wrong number of cells");
            break;
        }
        for (int i = 1; i <= count; ++i)
            benchmark::DoNotOptimize(m.MatchText(i));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(page.size()));
    state.counters["page_bytes"] = static_cast<double>(page.size());
}
BENCHMARK(RegexCellsOfAPage)->Unit(benchmark::kMillisecond);

// A ranking answer of RankRecords records with unquoted member names, as the portal sends it.
const Text& RankingAnswer() {
    static const Text answer = [] {
        const Text names[] = {"某某成长混合A"_gbk, "另一价值精选股票C"_gbk, "稳健债券增强"_gbk,
                              "中证新能源指数"_gbk};
        Text text = "{datas:[";
        for (int i = 0; i < RankRecords; ++i) {
            if (i)
                text += ',';
            const std::string code = std::to_string(100000 + i).substr(1);
            text += "\"" + code + "," + names[i % 4] + ",MCZZHHA,2026-12-07," +
                    std::to_string(1 + i % 3) + "." + std::to_string(1000 + i % 9000);
            for (int f = 0; f < 14; ++f) {
                text += ',';
                text += std::to_string((i * 31 + f * 17) % 400 - 200);
                text += '.';
                text += std::to_string(10 + f);
            }
            text += ",1.50%\"";
        }
        text += "],allRecords:" + std::to_string(RankRecords) +
                ",pageIndex:1,pageNum:" + std::to_string(RankRecords) + ",allPages:1}";
        return text;
    }();
    return answer;
}

void JsonRankingAnswer(benchmark::State& state) {
    const Text& answer = RankingAnswer();
    for (auto _ : state) {
        JsonDocument doc;
        doc.Parse(answer);
        const int count = doc.Count("datas");
        if (count != RankRecords) {
            state.SkipWithError("wrong number of records");
            break;
        }
        for (int i = 0; i < count; ++i)
            benchmark::DoNotOptimize(doc.GetText("datas[" + std::to_string(i) + "]"));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(answer.size()));
    state.counters["answer_bytes"] = static_cast<double>(answer.size());
}
BENCHMARK(JsonRankingAnswer)->Unit(benchmark::kMillisecond);

void GbkToUtf8(benchmark::State& state) {
    const Text& page = RiskPage();
    for (auto _ : state)
        benchmark::DoNotOptimize(TextToUtf8(page));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(page.size()));
}
BENCHMARK(GbkToUtf8)->Unit(benchmark::kMicrosecond);

void Utf8ToGbk(benchmark::State& state) {
    const std::string utf8 = TextToUtf8(RiskPage());
    for (auto _ : state)
        benchmark::DoNotOptimize(Utf8ToText(utf8));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(utf8.size()));
}
BENCHMARK(Utf8ToGbk)->Unit(benchmark::kMicrosecond);

void CutBetweenMarkers(benchmark::State& state) {
    const Text& page = RiskPage();
    for (auto _ : state)
        benchmark::DoNotOptimize(TextBetween(page, "</table>", "</html>"));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(page.size()));
}
BENCHMARK(CutBetweenMarkers)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace fundlens
