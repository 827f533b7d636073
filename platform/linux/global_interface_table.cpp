// platform/linux/global_interface_table.cpp: without apartments there is no table to keep
// interfaces in.
#include "platform/global_interface_table.h"

namespace pixelfold {

HRESULT CreateGlobalInterfaceTable(IUnknown** table) noexcept {
    if (table != nullptr) *table = nullptr;
    return E_NOTIMPL;
}

}  // namespace pixelfold
