// tools/pixelfold/report.h: what a run prints for each file: readable blocks, JSON Lines or
// CSV rows.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "tools/pixelfold/plugin_session.h"

namespace pixelfold::host {

enum class OutputMode { kText, kJson, kCsv };

// What a run prints for one file, made on the thread that read it and printed in order later.
struct FileOutput {
    std::string out;      // standard output
    std::string err;      // standard error
    bool read = false;    // a file read
    bool failed = false;  // a file or folder that could not be read
};

class Report {
  public:
    // `listUnanswered`: also name the values the plug-in did not answer (text and JSON; a CSV
    // row always has a cell for every name).
    Report(const PluginSession& session, OutputMode mode, bool listUnanswered);

    // What standard output starts with: the CSV header row; empty for the other modes.
    std::string Header() const;
    // One file's answers, for standard output.
    void Values(const std::string& path, const std::vector<Answer>& answers,
                FileOutput& output) const;
    // A file that could not be read: for standard output in JSON and CSV, standard error in
    // text. `message` says why; the meaning of `hr` when it is empty.
    void Failure(const std::string& path, HRESULT hr, FileOutput& output,
                 const std::string& message = {}) const;
    // A folder that could not be listed, with the system's reason, as a failure.
    void WalkError(const std::string& path, const std::string& reason, bool accessDenied,
                   FileOutput& output) const;

  private:
    void CsvRow(const std::string& path, const std::vector<Answer>* answers, HRESULT hr,
                std::string& out) const;

    const PluginSession& session_;
    OutputMode mode_;
    bool listUnanswered_;
    // CSV: each name once, in the order first asked, with the index of that first request.
    std::vector<std::size_t> csvColumns_;
    // JSON: each name as a JSON string, made once.
    std::vector<std::string> jsonNames_;
};

// Appends one CSV field: quoted, with its quotes doubled, when it holds a comma, a quote or a
// line break.
void AppendCsvField(const std::string& text, std::string& out);
// A result code as "0x80040213".
std::string HexCode(HRESULT hr);
// The host's name for a result code ("FILE_E_NOT_FOUND"), and what it means.
std::string ResultName(HRESULT hr);
std::string ResultMessage(HRESULT hr);
// A date as ISO 8601 local date-time text, "2021-07-14T09:05:33".
std::string IsoDateTime(const CalendarDate& date);

}  // namespace pixelfold::host
