// The rows the archive list shows: which entries a typed filter lets through, and the order
// a sorted column gives them.

#include "app/EntryFilter.h"

#include <gtest/gtest.h>

#include <vector>

namespace orvanel {
namespace {

// IDs and sizes with shared digits, equal sizes and a size above 2^31.
const DATEntry kEntries[] = {
    {0x20000, 0x0600ABCD, 0x3000, 100},
    {0x30000, 0x06001234, 0x1000, 65536},
    {0x20000, 0x060012AB, 0x2000, 65537},
    {0x30000, 0x06FFFFFF, 0x4000, 100},
    {0x20000, 0x0600CD12, 0x0800, 2147483648u},
};

const DATEntryList kList {&kEntries[0], &kEntries[1], &kEntries[2], &kEntries[3], &kEntries[4]};

// The IDs of the filter's rows in order.
std::vector<uint32_t> ShownIDs(const CEntryFilter& filter)
{
    std::vector<uint32_t> ids;
    for (size_t row = 0; row < filter.RowCount(); ++row)
        ids.push_back(filter.EntryAt(row)->fileID);
    return ids;
}

TEST(EntryFilterTest, QueriesMatchIDPartsAndSizeConditions)
{
    const struct {
        const char* text;
        std::vector<uint32_t> ids;
    } cases[] = {
        {"", {0x0600ABCD, 0x06001234, 0x060012AB, 0x06FFFFFF, 0x0600CD12}},
        {"12", {0x06001234, 0x060012AB, 0x0600CD12}},
        {"ab", {0x0600ABCD, 0x060012AB}},
        {"0xcd", {0x0600ABCD, 0x0600CD12}},
        {"0X0600CD12", {0x0600CD12}},
        {">65536", {0x060012AB, 0x0600CD12}},
        {"<100", {}},
        {"<=100", {0x0600ABCD, 0x06FFFFFF}},
        {"=65536", {0x06001234}},
        {"12 >65536", {0x060012AB, 0x0600CD12}},
        {"  >100   <65537 ", {0x06001234}},
        {"12 AB", {0x060012AB}},
        {">2147483647", {0x0600CD12}},
        {"xyz", {}},
        {"060012345", {}},
        {">abc", {}},
        {">10 <5", {}},
        {">18446744073709551615", {}},
    };
    for (const auto& test : cases) {
        CEntryFilter filter;
        filter.SetEntries(&kList);
        filter.SetQuery(test.text);
        EXPECT_EQ(ShownIDs(filter), test.ids) << '"' << test.text << '"';
        EXPECT_EQ(filter.TotalCount(), kList.size());
    }
}

TEST(EntryFilterTest, TypingOnOrBackGivesTheSameRowsAsTypingAfresh)
{
    // The filter narrows its kept rows on a longer query; each step must equal a fresh filter.
    const char* const steps[] = {
        "0", "06", "060", "0600", "0600C", "0600", "06", ">100", ">100 12", "12", ""};
    CEntryFilter typed;
    typed.SetEntries(&kList);
    typed.SetSort(SortKey::Size, SortOrder::Descending);
    for (const char* text : steps) {
        typed.SetQuery(text);
        CEntryFilter fresh;
        fresh.SetSort(SortKey::Size, SortOrder::Descending);
        fresh.SetQuery(text);
        fresh.SetEntries(&kList);
        EXPECT_EQ(ShownIDs(typed), ShownIDs(fresh)) << text;
    }
}

TEST(EntryFilterTest, SortedColumnsOrderRowsAndKeepTheCatalogueOrderForEqualKeys)
{
    const struct {
        SortKey key;
        SortOrder order;
        std::vector<uint32_t> ids;
    } cases[] = {
        {SortKey::Size, SortOrder::Catalogue, {0x0600ABCD, 0x06001234, 0x060012AB, 0x06FFFFFF, 0x0600CD12}},
        {SortKey::Size, SortOrder::Ascending, {0x0600ABCD, 0x06FFFFFF, 0x06001234, 0x060012AB, 0x0600CD12}},
        {SortKey::Size, SortOrder::Descending, {0x0600CD12, 0x060012AB, 0x06001234, 0x0600ABCD, 0x06FFFFFF}},
        {SortKey::Offset, SortOrder::Ascending, {0x0600CD12, 0x06001234, 0x060012AB, 0x0600ABCD, 0x06FFFFFF}},
        {SortKey::ID, SortOrder::Descending, {0x06FFFFFF, 0x0600CD12, 0x0600ABCD, 0x060012AB, 0x06001234}},
        {SortKey::Version, SortOrder::Ascending,
            {0x0600ABCD, 0x060012AB, 0x0600CD12, 0x06001234, 0x06FFFFFF}},
    };
    for (const auto& test : cases) {
        CEntryFilter filter;
        filter.SetEntries(&kList);
        filter.SetSort(test.key, test.order);
        EXPECT_EQ(ShownIDs(filter), test.ids) << int(test.key) << ' ' << int(test.order);
        // Each shown entry is found at its row, by entry and by its index in the list.
        for (size_t row = 0; row < filter.RowCount(); ++row) {
            EXPECT_EQ(filter.RowOfEntry(filter.EntryAt(row)), int64_t(row));
            const size_t index =
                size_t(std::find(kList.begin(), kList.end(), filter.EntryAt(row)) - kList.begin());
            EXPECT_EQ(filter.RowOfIndex(index), int64_t(row));
        }
    }
    // Rows outside the list, and entries the filter hides, are not found.
    CEntryFilter filter;
    EXPECT_EQ(filter.RowCount(), 0u);
    EXPECT_EQ(filter.EntryAt(0), nullptr);
    filter.SetEntries(&kList);
    filter.SetQuery("ffff");
    EXPECT_EQ(filter.RowCount(), 1u);
    EXPECT_EQ(filter.EntryAt(1), nullptr);
    EXPECT_EQ(filter.RowOfIndex(0), -1);
    EXPECT_EQ(filter.RowOfIndex(3), 0);
    EXPECT_EQ(filter.RowOfIndex(99), -1);
    EXPECT_EQ(filter.RowOfEntry(&kEntries[1]), -1);
}

} // namespace
} // namespace orvanel
