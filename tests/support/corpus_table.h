// tests/support/corpus_table.h: the folder of real test images and its tables of expected
// values (tab-separated text, one header line).
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace pixelfold::test {

using TableRow = std::vector<std::string>;

std::filesystem::path CorpusDir();
// The rows after the header line of `name` in the corpus folder; nothing when it is absent.
std::optional<std::vector<TableRow>> ReadCorpusTable(const std::string& name);
std::vector<std::string> Split(const std::string& text, char separator);
// Each line followed by a line break, for failure reports.
std::string JoinLines(const std::vector<std::string>& lines);
// The result code that expected.tsv names ("S_OK", "FILE_E_NOT_FOUND", ...); nothing for
// another name.
std::optional<HRESULT> ResultNamed(const std::string& name);

}  // namespace pixelfold::test
