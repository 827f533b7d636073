// tests/support/corpus_table.cpp: reading the corpus tables.
#include "support/corpus_table.h"

#include <fstream>
#include <sstream>

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

}  // namespace pixelfold::test
