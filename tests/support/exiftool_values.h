// tests/support/exiftool_values.h: what exiftool printed for the corpus files (metadata.tsv):
// the known disagreements with our readers, and comparing values the way it prints them.
#pragma once

#include <map>
#include <string>

namespace pixelfold::test {

// Disagreements accepted after inspection: "path<TAB>tag" and why.
extern const std::map<std::string, std::string> kAcceptedExiftoolDisagreements;

// The table's text with its escapes (\t, \n) undone.
std::string Unescape(const std::string& text);
// exiftool drops the blanks that pad fixed-width camera strings; the items keep them.
std::string TrimTrailingBlanks(std::string text);
// Whether `got` is the number exiftool printed as `want` ("undef" for 0/0, "inf").
bool SameNumber(double got, const std::string& want);

}  // namespace pixelfold::test
