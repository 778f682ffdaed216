// Table-driven checks of the conversions from byte texts to byte texts (Shift-JIS in, Shift-JIS
// or UTF-8 out): a failure names the row and shows both sides as hex pairs, which a terminal
// would otherwise print as mojibake or not at all.
#pragma once

#include <gtest/gtest.h>

#include <span>
#include <string>

#include "support/test_files.hpp"

namespace ByteTexts {

struct Case {
    const char* name;
    std::string text;
    std::string expected;
};

template <typename Convert>
void ExpectConversions(std::span<const Case> cases, Convert convert)
{
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(TestFiles::HexBytes(convert(c.text)), TestFiles::HexBytes(c.expected));
    }
}

}  // namespace ByteTexts
