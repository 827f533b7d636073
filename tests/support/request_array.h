// tests/support/request_array.h: an array of value requests as a host passes it, owning its
// strings and values.
#pragma once

#include <initializer_list>
#include <vector>

#include "platform/unique.h"
#include "plugin/host_interfaces.h"

namespace pixelfold::test {

struct RequestEntry {
    const WCHAR* name;
    const WCHAR* group = WTEXT("Image");  // null: a null BSTR
};

class RequestArray {
  public:
    // Each request starts with an empty value, found 0 and attribute flags 7 (neither of the
    // values the plug-in writes, so that a write shows).
    RequestArray(std::initializer_list<RequestEntry> entries) : requests_(entries.size()) {
        std::size_t i = 0;
        for (const RequestEntry& entry : entries) {
            ValueRequest& r = requests_[i++];
            r.name = entry.name == nullptr ? nullptr : SysAllocString(entry.name);
            r.group = entry.group == nullptr ? nullptr : SysAllocString(entry.group);
            VariantInit(&r.value);
            r.found = 0;
            r.attributes = 7;
        }
    }
    ~RequestArray() {
        for (ValueRequest& r : requests_) {
            SysFreeString(r.name);
            SysFreeString(r.group);
            VariantClear(&r.value);
        }
    }
    RequestArray(const RequestArray&) = delete;
    RequestArray& operator=(const RequestArray&) = delete;

    ValueRequest* data() { return requests_.data(); }
    std::int32_t count() const { return static_cast<std::int32_t>(requests_.size()); }
    ValueRequest& operator[](std::size_t i) { return requests_.at(i); }

  private:
    std::vector<ValueRequest> requests_;
};

}  // namespace pixelfold::test
