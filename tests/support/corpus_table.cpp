// tests/support/corpus_table.cpp: reading the corpus tables.
#include "support/corpus_table.h"

#include <fstream>
#include <map>
#include <sstream>

#include "pixelfold/pixelfold.h"

namespace pixelfold::test {

std::filesystem::path CorpusDir() {
    return PIXELFOLD_CORPUS_DIR;
}

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> fields;
    std::stringstream in(text);
    for (std::string field; std::getline(in, field, separator);)
        fields.push_back(field);
    return fields;
}

std::optional<std::vector<TableRow>> ReadCorpusTable(const std::string& name) {
    std::ifstream table(CorpusDir() / name);
    if (!table) return std::nullopt;
    std::vector<TableRow> rows;
    std::string line;
    std::getline(table, line);  // the header
    while (std::getline(table, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) rows.push_back(Split(line, '\t'));
    }
    return rows;
}

std::string JoinLines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines)
        text += line + "\n";
    return text;
}

std::optional<HRESULT> ResultNamed(const std::string& name) {
    static const std::map<std::string, HRESULT> kResults = {
        {"S_OK", S_OK},
        {"E_FAIL", E_FAIL},
        {"FILE_E_BAD_FORMAT", FILE_E_BAD_FORMAT},
        {"FILE_E_CANNOT_OPEN", FILE_E_CANNOT_OPEN},
        {"FILE_E_NOT_FOUND", FILE_E_NOT_FOUND},
    };
    const auto found = kResults.find(name);
    if (found == kResults.end()) return std::nullopt;
    return found->second;
}

}  // namespace pixelfold::test
