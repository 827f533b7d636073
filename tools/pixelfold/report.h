// tools/pixelfold/report.h: what a run prints for each file: readable blocks or JSON Lines.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "tools/pixelfold/plugin_session.h"

namespace pixelfold::host {

class Report {
  public:
    // `listUnanswered`: also name the values the plug-in did not answer.
    Report(const PluginSession& session, bool json, bool listUnanswered)
        : session_(session), json_(json), listUnanswered_(listUnanswered) {}

    // One file's answers, on standard output.
    void Values(const std::string& path, const std::vector<Answer>& answers) const;
    // A file that could not be read: standard output in JSON mode, standard error otherwise.
    void Failure(const std::string& path, HRESULT hr) const;

  private:
    const PluginSession& session_;
    bool json_;
    bool listUnanswered_;
};

// A result code as "0x80040213".
std::string HexCode(HRESULT hr);
// The host's name for a result code ("FILE_E_NOT_FOUND"), and what it means.
std::string ResultName(HRESULT hr);
std::string ResultMessage(HRESULT hr);
// An OLE Automation date as ISO 8601 local date-time text, "2021-07-14T09:05:33".
std::string IsoDateTime(double date);

}  // namespace pixelfold::host
