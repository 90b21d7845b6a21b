#include "decode/ByteStream.h"

#include <gtest/gtest.h>

namespace orvanel {
namespace {

TEST(MemStream, ReadsWholeItemsSeeksInsideAndRefusesWrites)
{
    const uint8_t bytes[] = {1, 2, 3, 4, 5};
    CMemStream stream(bytes);
    uint8_t pair[2][2] = {};
    EXPECT_EQ(stream.Read(pair, 2, 2), 2u);
    EXPECT_EQ(pair[1][1], 4);
    EXPECT_EQ(stream.Read(pair, 2, 1), 0u); // one byte left: no whole item
    EXPECT_EQ(stream.GetC(), 5);
    EXPECT_TRUE(stream.Eof());
    EXPECT_EQ(stream.GetC(), -1);

    EXPECT_TRUE(stream.Seek(-10, kSeekCurrent));
    EXPECT_EQ(stream.Tell(), 0);
    EXPECT_TRUE(stream.Seek(-1, kSeekEnd));
    EXPECT_EQ(stream.GetC(), 5);
    EXPECT_TRUE(stream.Seek(99, kSeekStart));
    EXPECT_EQ(stream.Tell(), 5);
    EXPECT_FALSE(stream.Seek(0, 7));
    EXPECT_FALSE(stream.Error());
    EXPECT_FALSE(stream.PutC(9));
    EXPECT_TRUE(stream.Error());
}

} // namespace
} // namespace orvanel
