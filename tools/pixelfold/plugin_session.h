// tools/pixelfold/plugin_session.h: the plug-in as the host uses it: loaded at run time, its
// one format object made through DllGetClassObject and shared by every thread, and a reader per
// thread that opens one navigator per file.
#pragma once

#include <string>
#include <vector>

#include "pixelfold/pixelfold.h"
#include "platform/dynamic_library.h"

namespace pixelfold::host {

// What the navigator answered for one name.
struct Answer {
    bool found = false;
    VARIANT value{};  // owned by the reader's request array; valid until its next Read
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
    // A BSTR's text as UTF-8.
    std::string Text(BSTR text) const;

  private:
    friend class PluginReader;

    DynamicLibrary library_;
    HostRuntime runtime_;
    IVltFileFormat* format_ = nullptr;  // free-threaded: one for every thread
    std::vector<std::string> names_;
    std::vector<std::string> extensions_;
    std::string error_;
};

// Reads files through a ready session, on one thread at a time.
class PluginReader {
  public:
    explicit PluginReader(const PluginSession& session);
    ~PluginReader();
    PluginReader(const PluginReader&) = delete;
    PluginReader& operator=(const PluginReader&) = delete;

    // Opens a navigator on `path` and asks it for every name: the result of OpenNavigator or
    // of GetValues, and on success one answer per name.
    HRESULT Read(const std::string& path, std::vector<Answer>& answers);

  private:
    const PluginSession& session_;
    std::vector<ValueRequest> requests_;
};

}  // namespace pixelfold::host
