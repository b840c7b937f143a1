#pragma once

#include <fstream>
#include <iterator>
#include <string>

#include <gtest/gtest.h>

namespace zrk6::test {

// The bytes of a file in tests/files/channel_lists, exactly as stored.
inline std::string ListFixture(const std::string &name)
{
    std::string path = ZRK6_SOURCE_DIR "/tests/files/channel_lists/";
    path += name;
    std::ifstream in(path, std::ios::binary);
    EXPECT_TRUE(in) << name;
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace zrk6::test
