// platform/windows/global_interface_table.cpp: the COM library's global interface table.
#include "platform/global_interface_table.h"

namespace pixelfold {

HRESULT CreateGlobalInterfaceTable(IUnknown** table) noexcept {
    return CoCreateInstance(CLSID_StdGlobalInterfaceTable, nullptr, CLSCTX_INPROC_SERVER,
                            IID_IGlobalInterfaceTable, reinterpret_cast<void**>(table));
}

}  // namespace pixelfold
