// tests/support/request_array.h: an array of value requests as a host passes it, owning its
// strings and values.
#pragma once

#include <cstring>
#include <initializer_list>
#include <optional>
#include <span>
#include <vector>

#include "pixelfold/pixelfold.h"
#include "platform/unique.h"

namespace pixelfold::test {

struct RequestEntry {
    const WCHAR* name;
    const WCHAR* group = WTEXT("Image");  // null: a null BSTR
};

class RequestArray {
  public:
    // Each request starts with an empty value, found 0 and attribute flags 7 (neither of the
    // values the plug-in writes, so that a write shows).
    RequestArray(std::initializer_list<RequestEntry> entries)
        : RequestArray(std::span<const RequestEntry>(entries.begin(), entries.size())) {}
    explicit RequestArray(std::span<const RequestEntry> entries) : requests_(entries.size()) {
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

    // Gives request i a value of the host's own, as a host that reuses its array leaves it: a
    // VT_I4, or a VT_BSTR that the request owns. Give a BSTR only to a request that is to stay
    // unanswered: a header answer overwrites a value without releasing it.
    void GiveHostValue(std::size_t i, VARTYPE vt) {
        VARIANT& value = requests_.at(i).value;
        VariantClear(&value);
        value.vt = vt;
        if (vt == VT_BSTR) {
            value.bstrVal = SysAllocString(WTEXT("the host's own"));
        } else {
            value.lVal = 0x5EED;
        }
        given_.resize(requests_.size());
        given_[i] = value;
    }
    bool HasHostValue(std::size_t i) const { return i < given_.size() && given_[i].has_value(); }
    // True when request i's value is bit for bit the one given to it.
    bool HostValueKept(std::size_t i) const {
        return HasHostValue(i) &&
               std::memcmp(&*given_[i], &requests_.at(i).value, sizeof(VARIANT)) == 0;
    }

    ValueRequest* data() { return requests_.data(); }
    std::int32_t count() const { return static_cast<std::int32_t>(requests_.size()); }
    ValueRequest& operator[](std::size_t i) { return requests_.at(i); }

  private:
    std::vector<ValueRequest> requests_;
    std::vector<std::optional<VARIANT>> given_;
};

}  // namespace pixelfold::test
