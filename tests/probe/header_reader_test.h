// tests/probe/header_reader_test.h: one table-driven test for all five header readers.
#pragma once

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "pixelfold/pixelfold.h"
#include "probe/readers.h"
#include "support/bytes.h"
#include "support/printers.h"

namespace pixelfold::test {

struct ReaderCase {
    std::string name;
    HeaderReader reader;
    Bytes bytes;
    HRESULT expected;
    Dimensions dims;  // checked when the reader writes the record
    std::optional<std::uint32_t> fileSize =
        std::nullopt;  // the record's file size; the byte count if unset
};

// The record before the call; a reader that fails or writes nothing must leave it so.
inline constexpr Dimensions kSentinel{-7, -7, -7};
// `dims` of a case whose reader succeeds without writing the record.
inline constexpr Dimensions kUntouched = kSentinel;

class HeaderReaderTest : public testing::TestWithParam<ReaderCase> {};

}  // namespace pixelfold::test
