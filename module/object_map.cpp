// module/object_map.cpp: the library's two classes.
#include "module/object_map.h"

#include "module/class_factory.h"
#include "plugin/image_file.h"
#include "plugin/image_format.h"

namespace pixelfold {
namespace {

// The registration scripts come with self-registration.
HRESULT UpdateRegistryNotYet(BOOL) {
    return E_NOTIMPL;
}
const WCHAR* NoDescription() {
    return nullptr;
}
const void* NoCategories() {
    return nullptr;
}
void NothingToStartOrEnd(bool) {}

constinit ObjectMapEntry objectMap[] = {
    {&CLSID_ImageFormat, &UpdateRegistryNotYet, &CreateClassFactory, &CImageFormat::CreateInstance,
     nullptr, &NoDescription, &NoCategories, &NothingToStartOrEnd},
    {&CLSID_ImageFile, &UpdateRegistryNotYet, &CreateClassFactory, &CImageFile::CreateInstance,
     nullptr, &NoDescription, &NoCategories, &NothingToStartOrEnd},
};

}  // namespace

std::span<ObjectMapEntry> LibraryObjectMap() noexcept {
    return objectMap;
}

}  // namespace pixelfold
