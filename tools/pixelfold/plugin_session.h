// tools/pixelfold/plugin_session.h: the plug-in as the host uses it: loaded at run time, its
// format object made through DllGetClassObject, one navigator per file.
#pragma once

#include <string>
#include <vector>

#include "pixelfold/pixelfold.h"
#include "platform/dynamic_library.h"

namespace pixelfold::host {

// What the navigator answered for one name.
struct Answer {
    bool found = false;
    VARIANT value{};  // owned by the session's request array; valid until the next Read
};

class PluginSession {
  public:
    // Loads the library at `libraryPath` and makes its format object; check `error()`.
    PluginSession(const std::string& libraryPath, const std::vector<std::string>& names);
    ~PluginSession();
    PluginSession(const PluginSession&) = delete;
    PluginSession& operator=(const PluginSession&) = delete;

    // Empty when the session is ready, otherwise why it is not.
    const std::string& error() const { return error_; }
    // The extensions the format object serves ("bmp,pcx,..."), lower case.
    const std::vector<std::string>& extensions() const { return extensions_; }
    const std::vector<std::string>& names() const { return names_; }

    // Opens a navigator on `path` and asks it for every name: the result of OpenNavigator or
    // of GetValues, and on success one answer per name.
    HRESULT Read(const std::string& path, std::vector<Answer>& answers);
    // A BSTR's text as UTF-8.
    std::string Text(BSTR text) const;

  private:
    void ReleaseRequests();

    DynamicLibrary library_;
    HostRuntime runtime_;
    IVltFileFormat* format_ = nullptr;
    std::vector<std::string> names_;
    std::vector<ValueRequest> requests_;
    std::vector<std::string> extensions_;
    std::string error_;
};

}  // namespace pixelfold::host
