// tests/support/value_request.h: a value request that owns its strings and value, as the
// host's records do.
#pragma once

#include "pixelfold/pixelfold.h"
#include "platform/unique.h"

namespace pixelfold::test {

class OwnedRequest {
  public:
    explicit OwnedRequest(const WCHAR* name = WTEXT(""), const WCHAR* group = WTEXT("Image")) {
        request_.name = SysAllocString(name);
        request_.group = SysAllocString(group);
        VariantInit(&request_.value);
        request_.found = 0;
        request_.attributes = 7;  // neither 0 nor 1, so that a write shows
    }
    ~OwnedRequest() {
        SysFreeString(request_.name);
        SysFreeString(request_.group);
        VariantClear(&request_.value);
    }
    OwnedRequest(const OwnedRequest&) = delete;
    OwnedRequest& operator=(const OwnedRequest&) = delete;

    ValueRequest& get() { return request_; }
    ValueRequest* operator->() { return &request_; }

  private:
    ValueRequest request_{};
};

}  // namespace pixelfold::test
