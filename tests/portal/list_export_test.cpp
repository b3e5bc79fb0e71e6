// The export's command-line words and its CSV.
#include "portal/list_export.h"

#include <gtest/gtest.h>

namespace fundlens {
namespace {

TEST(ExportWords, ListsAndSortsAreReadOrRefusedWithAReason) {
    const struct {
        const char* list;
        const char* sort;
        bool ok;
        bool fiveStar;
        int sectorCode;
        const char* sortKey;
        const char* sortOrder;
    } cases[] = {
        {"five-star", "", true, true, 0, "", ""},
        {"sector:896", "", true, false, 896, "", ""},
        {"sector:白酒", "z", true, false, 896, "z", "desc"},
        {"sector:半导体", "近1周:asc", true, false, 917, "z", "asc"},
        {"five-star", "近一年", true, true, 0, "1n", "desc"},
        {"five-star", "3n:desc", true, true, 0, "3n", "desc"},
        {"sector:999", "", false, false, 0, "", ""},
        {"sector:", "", false, false, 0, "", ""},
        {"sector:白", "", false, false, 0, "", ""},
        {"fivestar", "", false, false, 0, "", ""},
        {"five-star", "基金名称", false, false, 0, "", ""}, // a column that does not sort
        {"five-star", "z:up", false, false, 0, "", ""},
        {"five-star", "x", false, false, 0, "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.list) + " / " + c.sort);
        ListExportRequest request;
        std::string error;
        const bool ok = ParseExportList(c.list, request, error) &&
                        (*c.sort == '\0' || ParseExportSort(c.sort, request, error));
        EXPECT_EQ(ok, c.ok);
        if (!ok) {
            EXPECT_FALSE(error.empty());
            continue;
        }
        EXPECT_EQ(request.fiveStar, c.fiveStar);
        EXPECT_EQ(request.sectorCode, c.sectorCode);
        EXPECT_EQ(request.sortKey, c.sortKey);
        EXPECT_EQ(request.sortOrder, c.sortOrder);
    }
}

TEST(ExportCsv, ByteOrderMarkHeaderAndQuotedFields) {
    ListRow row;
    row.fill("-");
    row[0] = "A,\"B\" 基金"_gbk;
    row[1] = "000001";
    row[2] = "line\nbreak";
    const std::string csv = ListCsv({row});
    const std::string header = "\xEF\xBB\xBF基金名称,基金代码,日期,净值,日增长率,近1周,近1月,"
                               "近3月,近6月,今年来,近一年,近2年,近3年\r\n";
    ASSERT_EQ(csv.substr(0, header.size()), header);
    EXPECT_EQ(csv.substr(header.size()),
              "\"A,\"\"B\"\" 基金\",000001,\"line\nbreak\",-,-,-,-,-,-,-,-,-,-\r\n");
}

} // namespace
} // namespace fundlens
