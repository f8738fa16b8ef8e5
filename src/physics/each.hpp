#pragma once
// A walk over a list's objects by slot, without copying references; for
// passes that add and remove nothing.
#include "platform/base/object_list.hpp"

namespace flopkin {

template <class T, class F>
void for_each_listed(const object_list<T>& list, F&& visit) {
    for (std::size_t i = 0; i < list.slot_count(); ++i)
        if (T* object = list.slot(i).get()) visit(*object);
}

}  // namespace flopkin
