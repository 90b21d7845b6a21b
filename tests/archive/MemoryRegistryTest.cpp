#include "archive/MemoryRegistry.h"

#include <gtest/gtest.h>

namespace orvanel {
namespace {

TEST(MemoryRegistry, LimitsOfNamesAndDepth)
{
    CMemoryRegistry registry;
    const std::string longName(kRegMaxKeyNameLength + 1, 'n');
    EXPECT_TRUE(registry.CreateKey("K\\" + longName));
    EXPECT_TRUE(registry.CreateKey("K\\Short"));
    EXPECT_FALSE(registry.CreateKey("K\\" + std::string(kRegMaxStoredNameLength + 1, 'n')));
    EXPECT_FALSE(registry.SetDword("K", std::string(kRegMaxStoredNameLength + 1, 'v'), 1));
    std::string deep;
    for (size_t i = 0; i <= kRegMaxKeyDepth; ++i)
        deep += "d\\";
    EXPECT_FALSE(registry.CreateKey(deep));
    EXPECT_FALSE(registry.HasKey("d"));

    RegKey key = 0;
    ASSERT_EQ(registry.OpenKey("K", key), kRegSuccess);
    std::string name;
    EXPECT_EQ(registry.EnumKey(key, 0, name), kRegMoreData); // longer than a name buffer
    EXPECT_EQ(registry.EnumKey(key, 1, name), kRegSuccess);
    EXPECT_EQ(name, "Short");

    // Clearing leaves open keys open but empty.
    registry.Clear();
    EXPECT_EQ(registry.OpenKeyCount(), 1u);
    EXPECT_EQ(registry.EnumKey(key, 1, name), kRegInvalidHandle);
    registry.CloseKey(key);
    EXPECT_EQ(registry.OpenKeyCount(), 0u);
    EXPECT_EQ(registry.OpenKey("K", key), kRegNotFound);
}

} // namespace
} // namespace orvanel
