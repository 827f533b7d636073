// tools/pixelfold/plugin_session.cpp: loading the plug-in and reading files through it.
#include "tools/pixelfold/plugin_session.h"

#include <sstream>

#include "pixelfold/pixelfold.h"
#include "platform/com_calls.h"
#include "platform/utf8.h"
#include "tools/pixelfold/report.h"

namespace pixelfold::host {

PluginSession::PluginSession(const std::string& libraryPath, const std::vector<std::string>& names)
    : library_(libraryPath), names_(names) {
    if (!library_.loaded()) {
        error_ = "cannot load " + libraryPath + ": " + library_.error();
        return;
    }
    const auto getClassObject =
        reinterpret_cast<DllGetClassObjectFunction>(library_.Find("DllGetClassObject"));
    if (getClassObject == nullptr || !BindHostRuntime(library_, runtime_)) {
        error_ = libraryPath + " is not the plug-in: an export is missing";
        return;
    }
    void* factory = nullptr;
    HRESULT hr = getClassObject(CLSID_ImageFormat, IID_IClassFactory, &factory);
    if (SUCCEEDED(hr)) {
        void* format = nullptr;
        hr = CreateInstanceOf(factory, nullptr, IID_IVltFileFormat, &format);
        ReleaseOf(factory);
        format_ = static_cast<IVltFileFormat*>(format);
    }
    if (FAILED(hr)) {
        error_ = libraryPath + " did not make its format object (" + HexCode(hr) + ")";
        return;
    }
    BSTR company = nullptr, description = nullptr, list = nullptr;
    if (SUCCEEDED(format_->lpVtbl->GetInfo(format_, &company, &description, &list))) {
        std::istringstream extensions(Text(list));
        for (std::string e; std::getline(extensions, e, ',');)
            extensions_.push_back(e);
    }
    runtime_.sysFreeString(company);
    runtime_.sysFreeString(description);
    runtime_.sysFreeString(list);
}

PluginSession::~PluginSession() {
    if (format_ != nullptr) ReleaseOf(format_);
}

PluginReader::PluginReader(const PluginSession& session) : session_(session) {
    const HostRuntime& runtime = session_.runtime_;
    requests_.resize(session_.names_.size());
    for (std::size_t i = 0; i < requests_.size(); ++i) {
        const WideString name = Utf16FromUtf8(session_.names_[i]);
        requests_[i].name = runtime.sysAllocString(name.c_str());
        requests_[i].group = runtime.sysAllocString(WTEXT("Image"));
        requests_[i].value.vt = VT_EMPTY;
    }
}

PluginReader::~PluginReader() {
    const HostRuntime& runtime = session_.runtime_;
    for (ValueRequest& r : requests_) {
        runtime.sysFreeString(r.name);
        runtime.sysFreeString(r.group);
        runtime.variantClear(&r.value);
    }
}

HRESULT PluginReader::Read(const std::string& path, std::vector<Answer>& answers) {
    const HostRuntime& runtime = session_.runtime_;
    IVltFileFormat* format = session_.format_;
    const WideString widePath = Utf16FromFileName(path);
    IVltFileNavigator* navigator = nullptr;
    HRESULT hr = format->lpVtbl->OpenNavigator(format, widePath.c_str(), 0, &navigator);
    if (FAILED(hr)) return hr;
    for (ValueRequest& r : requests_) {
        runtime.variantClear(&r.value);
        r.found = 0;
        r.attributes = 0;
    }
    hr = navigator->lpVtbl->GetValues(
        navigator, 0, 0, 0, static_cast<std::int32_t>(requests_.size()), requests_.data());
    ReleaseOf(navigator);
    if (FAILED(hr)) return hr;
    answers.resize(requests_.size());
    for (std::size_t i = 0; i < requests_.size(); ++i)
        answers[i] = Answer{requests_[i].found != 0, requests_[i].value};
    return S_OK;
}

std::string PluginSession::Text(BSTR text) const {
    if (text == nullptr) return {};
    return Utf8FromUtf16(WideStringView(text, runtime_.sysStringLen(text)));
}

}  // namespace pixelfold::host
