#pragma once
// Releases a reference-counted engine object held by a raw pointer and empties
// the pointer; an empty pointer is left as it is.

namespace velmora {

template <class tObject>
void ReleaseAndClear(tObject*& object) {
    if (object) {
        object->Release();
        object = nullptr;
    }
}

} // namespace velmora
