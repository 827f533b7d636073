// tools/pixelfold/report.cpp: formatting answers as text, JSON and CSV (RFC 4180).
#include "tools/pixelfold/report.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>
#include <string_view>

#include "platform/utf8.h"

namespace pixelfold::host {
namespace {

using Json = nlohmann::ordered_json;

// FILE_E_* are the host's own codes; the rest are COM's.
struct ResultText {
    HRESULT hr;
    const char* name;
    const char* message;
};
constexpr ResultText kResults[] = {
    {static_cast<HRESULT>(0x8004020Bu), "FILE_E_CANNOT_OPEN", "the file exists but cannot be read"},
    {static_cast<HRESULT>(0x80040213u), "FILE_E_NOT_FOUND", "no such file"},
    {static_cast<HRESULT>(0x80040229u), "FILE_E_BAD_FORMAT",
     "the header does not fit the format its extension names"},
    {static_cast<HRESULT>(0x80070057u), "E_INVALIDARG", "the path has no extension"},
    {static_cast<HRESULT>(0x8007000Eu), "E_OUTOFMEMORY", "out of memory"},
    {static_cast<HRESULT>(0x80004005u), "E_FAIL", "the file ends inside its header"},
    {static_cast<HRESULT>(0x80004003u), "E_POINTER", "a required pointer was null"},
    {static_cast<HRESULT>(0x80070005u), "E_ACCESSDENIED", "access denied"},
};

const ResultText* FindResult(HRESULT hr) {
    for (const ResultText& r : kResults) {
        if (r.hr == hr) return &r;
    }
    return nullptr;
}

// The shortest text that reads back as the same double.
std::string NumberText(double value) {
    if (std::isnan(value)) return "nan";
    if (std::isinf(value)) return value > 0 ? "inf" : "-inf";
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

Json JsonValue(const Answer& a) {
    switch (a.type) {
        case Answer::Type::kInteger:
            return a.integer;
        case Answer::Type::kReal:
            if (!std::isfinite(a.real)) return NumberText(a.real);
            return a.real;
        case Answer::Type::kDate:
            return IsoDateTime(a.date);
        case Answer::Type::kText:
            return a.text;
        default:
            return nullptr;
    }
}

// One line per value: line breaks shown as \n.
std::string PlainValue(const Answer& a) {
    switch (a.type) {
        case Answer::Type::kInteger:
            return std::to_string(a.integer);
        case Answer::Type::kReal:
            return NumberText(a.real);
        case Answer::Type::kDate:
            return IsoDateTime(a.date);
        case Answer::Type::kText: {
            std::string text;
            for (const char c : a.text) {
                if (c == '\r') continue;
                text += c == '\n' ? std::string("\\n") : std::string(1, c);
            }
            return text;
        }
        default:
            return "(empty)";
    }
}

// Text as valid UTF-8: each byte that is not part of a valid sequence becomes U+FFFD.
std::string ValidUtf8(const std::string& text) {
    return Utf8FromUtf16(Utf16FromUtf8(text));
}

// A value as its JSON text shows it, without the quotes of a JSON string.
std::string CsvValue(const Answer& a) {
    const Json value = JsonValue(a);
    if (value.is_null()) return {};
    if (value.is_string()) return ValidUtf8(value.get<std::string>());
    return value.dump();
}

constexpr char kCsvLineEnd[] = "\r\n";

std::string JsonText(const Json& value) {
    return value.dump(-1, ' ', false, Json::error_handler_t::replace);
}

std::string JsonLine(const Json& line) {
    return JsonText(line) + '\n';
}

}  // namespace

void AppendCsvField(const std::string& text, std::string& out) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) {
        out += text;
        return;
    }
    out += '"';
    for (const char c : text) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
}

std::string HexCode(HRESULT hr) {
    std::ostringstream out;
    out << "0x" << std::hex << std::uppercase << static_cast<std::uint32_t>(hr);
    return out.str();
}

std::string ResultName(HRESULT hr) {
    const ResultText* r = FindResult(hr);
    return r != nullptr ? r->name : HexCode(hr);
}

std::string ResultMessage(HRESULT hr) {
    const ResultText* r = FindResult(hr);
    return r != nullptr ? r->message : "the plug-in could not read the file";
}

std::string IsoDateTime(const CalendarDate& date) {
    char text[48];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d", date.year, date.month,
                  date.day, date.hour, date.minute, date.second);
    return text;
}

Report::Report(const PluginSession& session, OutputMode mode, bool listUnanswered)
    : session_(session), mode_(mode), listUnanswered_(listUnanswered) {
    const std::vector<std::string>& names = session_.names();
    std::set<std::string_view> seen;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (seen.insert(names[i]).second) csvColumns_.push_back(i);
        jsonNames_.push_back(JsonText(Json(names[i])));
    }
}

std::string Report::Header() const {
    if (mode_ != OutputMode::kCsv) return {};
    std::string out = "path";
    for (const std::size_t column : csvColumns_) {
        out += ',';
        AppendCsvField(ValidUtf8(session_.names()[column]), out);
    }
    return out + ",error" + kCsvLineEnd;
}

void Report::CsvRow(const std::string& path, const std::vector<Answer>* answers, HRESULT hr,
                    std::string& out) const {
    AppendCsvField(ValidUtf8(path), out);
    for (const std::size_t column : csvColumns_) {
        out += ',';
        if (answers != nullptr && (*answers)[column].answered())
            AppendCsvField(CsvValue((*answers)[column]), out);
    }
    out += ',';
    if (answers == nullptr) AppendCsvField(ResultName(hr), out);
    out += kCsvLineEnd;
}

void Report::Values(const std::string& path, const std::vector<Answer>& answers,
                    FileOutput& output) const {
    output.read = true;
    const std::vector<std::string>& names = session_.names();
    std::string& out = output.out;
    if (mode_ == OutputMode::kCsv) {
        CsvRow(path, &answers, S_OK, out);
        return;
    }
    if (mode_ == OutputMode::kJson) {
        // Written piece by piece, each piece as the whole line's dump would write it: an
        // object of hundreds of names is not built and searched for every file.
        out += "{\"path\":" + JsonText(Json(path)) + ",\"values\":{";
        bool first = true;
        for (std::size_t i = 0; i < answers.size(); ++i) {
            if (!answers[i].answered()) continue;
            if (!first) out += ',';
            first = false;
            out += jsonNames_[i];
            out += ':';
            // Whole numbers as the library writes them, without making a JSON value of each.
            out += answers[i].type == Answer::Type::kInteger ? std::to_string(answers[i].integer)
                                                             : JsonText(JsonValue(answers[i]));
        }
        out += '}';
        if (listUnanswered_) {
            out += ",\"unanswered\":[";
            first = true;
            for (std::size_t i = 0; i < answers.size(); ++i) {
                if (answers[i].answered()) continue;
                if (!first) out += ',';
                first = false;
                out += jsonNames_[i];
            }
            out += ']';
        }
        out += "}\n";
        return;
    }
    std::size_t width = 0;
    for (std::size_t i = 0; i < answers.size(); ++i) {
        if (answers[i].answered() || listUnanswered_) width = std::max(width, names[i].size());
    }
    out += path + '\n';
    for (std::size_t i = 0; i < answers.size(); ++i) {
        if (!answers[i].answered() && !listUnanswered_) continue;
        const std::string value = answers[i].answered() ? PlainValue(answers[i]) : "(unanswered)";
        out += "  " + names[i] + std::string(width - names[i].size() + 2, ' ') + value + '\n';
    }
}

void Report::Failure(const std::string& path, HRESULT hr, FileOutput& output,
                     const std::string& message) const {
    output.failed = true;
    const std::string why = message.empty() ? ResultMessage(hr) : message;
    if (mode_ == OutputMode::kCsv) {
        CsvRow(path, nullptr, hr, output.out);
        return;
    }
    if (mode_ == OutputMode::kJson) {
        const Json line = {
            {"path", path},
            {"error", {{"hresult", HexCode(hr)}, {"name", ResultName(hr)}, {"message", why}}}};
        output.out += JsonLine(line);
        return;
    }
    output.err +=
        "pixelfold: " + path + ": " + ResultName(hr) + " (" + HexCode(hr) + "): " + why + '\n';
}

void Report::WalkError(const std::string& path, const std::string& reason, bool accessDenied,
                       FileOutput& output) const {
    const HRESULT hr = accessDenied ? static_cast<HRESULT>(0x80070005u)   // E_ACCESSDENIED
                                    : static_cast<HRESULT>(0x80004005u);  // E_FAIL
    Failure(path, hr, output, "cannot read the folder: " + reason);
}

}  // namespace pixelfold::host
