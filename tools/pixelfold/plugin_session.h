// tools/pixelfold/plugin_session.h: the plug-in as the reference host uses it, through the
// public host layer: loaded at run time, its one format object shared by every thread, and a
// reader per thread that opens one image per file.
#pragma once

#include <string>
#include <vector>

#include "pixelfold/host.hpp"

namespace pixelfold::host {

using Answer = pixelfold::Answer;

class PluginSession {
  public:
    // Loads the library at `libraryPath` and makes its format object; check `error()`. Each
    // of `asked` is asked of the plug-in and shown as the same place of `shown`.
    PluginSession(const std::string& libraryPath, const std::vector<std::string>& shown,
                  const std::vector<std::string>& asked)
        : plugin_(libraryPath), names_(shown), asked_(asked) {}

    // Empty when the session is ready, otherwise why it is not.
    const std::string& error() const { return plugin_.error(); }
    // The extensions the format object serves ("bmp", "pcx", ...), lower case.
    const std::vector<std::string>& extensions() const { return plugin_.extensions(); }
    // The names as the user wrote them.
    const std::vector<std::string>& names() const { return names_; }

  private:
    friend class PluginReader;

    Plugin plugin_;
    std::vector<std::string> names_;
    std::vector<std::string> asked_;
};

// Reads files through a ready session, on one thread at a time.
class PluginReader {
  public:
    explicit PluginReader(const PluginSession& session)
        : session_(session), query_(session.plugin_, session.asked_) {}

    // Opens `path` and asks it for every name: the result of OpenNavigator or of GetValues,
    // and on success one answer per name.
    HRESULT Read(const std::string& path, std::vector<Answer>& answers) {
        const Image image = session_.plugin_.Open(path);
        if (!image.opened()) return image.result();
        return image.Ask(query_, answers);
    }

  private:
    const PluginSession& session_;
    Query query_;
};

}  // namespace pixelfold::host
