// tests/support/plugin_objects.cpp: the plug-in's objects as a host gets them.
#include "support/plugin_objects.h"

#include "plugin/image_format.h"

namespace pixelfold::test {

ComRef<IVltFileFormat> NewFormatObject() {
    ComRef<IVltFileFormat> format;
    EXPECT_EQ(S_OK, CImageFormat::CreateInstance(nullptr, IID_IVltFileFormat, format.put()));
    return format;
}

HRESULT OpenNavigatorOf(IVltFileFormat* format, const WideString& path,
                        ComRef<IVltFileNavigator>& navigator) {
    return CallSlot<HRESULT>(format, 5, path.c_str(), INT_PTR{0}, navigator.put());
}

HRESULT GetValuesOf(IVltFileNavigator* navigator, RequestArray& requests, std::int32_t stop) {
    return CallSlot<HRESULT>(navigator, 10, INT_PTR{0}, stop, INT_PTR{0}, requests.count(),
                             requests.data());
}

}  // namespace pixelfold::test
