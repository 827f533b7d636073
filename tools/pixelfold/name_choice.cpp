// tools/pixelfold/name_choice.cpp: names checked against the public header's tables, with the
// standard's names of tags as aliases and the nearest names suggested for a mistyped one.
#include "tools/pixelfold/name_choice.h"

#include <algorithm>
#include <set>
#include <utility>

#include "pixelfold/property_names.h"
#include "pixelfold/utf8.hpp"

namespace pixelfold::host {
namespace {

constexpr const char* kSizeNames[] = {"Width", "Height", "Color Depth"};

std::string Folded(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

std::string Trimmed(const std::string& text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

struct Known {
    std::string name;   // as --list-names shows it
    std::string asked;  // the plug-in's name
};

// Every name a user may write, the standard's names after the plug-in's.
const std::vector<Known>& KnownNames() {
    static const std::vector<Known> known = [] {
        std::vector<Known> out;
        for (const char* name : kSizeNames)
            out.push_back(Known{name, name});
        for (const PropertyTagRow& row : kPropertyTagRows) {
            const std::string name = Utf8FromUtf16(row.name);
            out.push_back(Known{name, name});
        }
        for (const PropertyTagReference& r : kPropertyTagReferences) {
            if (*r.standardName == '\0') continue;  // GDI+'s own tags, thumbnails' among them
            for (const PropertyTagRow& row : kPropertyTagRows) {
                if (row.tag == r.tag) out.push_back(Known{r.standardName, Utf8FromUtf16(row.name)});
            }
        }
        return out;
    }();
    return known;
}

// Edits (insertions, deletions, substitutions) from `a` to `b`.
std::size_t Distance(const std::string& a, const std::string& b) {
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j)
        row[j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] != b[j - 1])});
            diagonal = above;
        }
    }
    return row[b.size()];
}

// The three known names nearest to `wanted`: those that hold it first, then by edits.
std::string Nearest(const std::string& wanted) {
    const std::string folded = Folded(wanted);
    std::vector<std::pair<std::size_t, std::string>> ranked;
    for (const Known& k : KnownNames()) {
        const std::string name = Folded(k.name);
        const bool holds = folded.size() >= 3 && name.find(folded) != std::string::npos;
        const std::size_t distance = Distance(folded, name);
        ranked.emplace_back(holds ? distance : 1000 + distance, k.name);
    }
    std::sort(ranked.begin(), ranked.end());
    std::string out;
    for (std::size_t i = 0; i < 3 && i < ranked.size(); ++i)
        out += (i > 0 ? ", " : "") + ranked[i].second;
    return out;
}

}  // namespace

NameChoice AllNames() {
    NameChoice choice;
    for (const char* name : kSizeNames)
        choice.shown.push_back(name);
    for (const PropertyTagRow& row : kPropertyTagRows)
        choice.shown.push_back(Utf8FromUtf16(row.name));
    choice.asked = choice.shown;
    return choice;
}

NameChoice ChooseNames(const std::string& list) {
    NameChoice choice;
    if (Trimmed(list).empty()) {
        choice.errors.push_back("--names: no name given; pixelfold --list-names lists them");
        return choice;
    }
    std::set<std::string> seen;
    std::size_t start = 0;
    for (std::size_t position = 1;; ++position) {
        const std::size_t comma = list.find(',', start);
        const std::string name = Trimmed(list.substr(start, comma - start));
        if (name.empty()) {
            choice.errors.push_back("--names: name " + std::to_string(position) +
                                    " is empty; give names separated by commas, such as "
                                    "--names Width,Height (pixelfold --list-names lists them)");
        } else if (seen.insert(Folded(name)).second) {
            const auto known =
                std::find_if(KnownNames().begin(), KnownNames().end(),
                             [&](const Known& k) { return Folded(k.name) == Folded(name); });
            if (known == KnownNames().end()) {
                choice.errors.push_back("--names: no such name '" + name + "'; the nearest are " +
                                        Nearest(name) + " (pixelfold --list-names lists them all)");
            } else {
                choice.shown.push_back(name);
                choice.asked.push_back(known->asked);
            }
        }
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    return choice;
}

}  // namespace pixelfold::host
