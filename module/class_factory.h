// module/class_factory.h: the class object of each class: IClassFactory over the class's
// two-way instance creator.
#pragma once

#include "module/object_map.h"

namespace pixelfold {

// The class-object creator of every object map row: a new class object serving
// `instanceCreator`, asked for `iid`.
HRESULT CreateClassFactory(InstanceCreator instanceCreator, REFIID iid, void** out) noexcept;

}  // namespace pixelfold
