// module/object_map.cpp: the library's two classes.
#include "module/object_map.h"

#include "module/class_factory.h"
#include "module/com_module.h"
#include "plugin/image_file.h"
#include "plugin/image_format.h"

namespace pixelfold {
namespace {

// The registration scripts, resources of type "REGISTRY".
constexpr UINT kImageFormatScript = 101;
constexpr UINT kImageFileScript = 102;

HRESULT UpdateImageFormatRegistry(BOOL doRegister) {
    return g_pModule->UpdateRegistryFromResourceS(kImageFormatScript, doRegister, nullptr);
}
HRESULT UpdateImageFileRegistry(BOOL doRegister) {
    return g_pModule->UpdateRegistryFromResourceS(kImageFileScript, doRegister, nullptr);
}
const WCHAR* NoDescription() {
    return nullptr;
}
const void* NoCategories() {
    return nullptr;
}
void NothingToStartOrEnd(bool) {}

constinit ObjectMapEntry objectMap[] = {
    {&CLSID_ImageFormat, &UpdateImageFormatRegistry, &CreateClassFactory,
     &CImageFormat::CreateInstance, nullptr, &NoDescription, &NoCategories, &NothingToStartOrEnd},
    {&CLSID_ImageFile, &UpdateImageFileRegistry, &CreateClassFactory, &CImageFile::CreateInstance,
     nullptr, &NoDescription, &NoCategories, &NothingToStartOrEnd},
};

}  // namespace

std::span<ObjectMapEntry> LibraryObjectMap() noexcept {
    return objectMap;
}

}  // namespace pixelfold
