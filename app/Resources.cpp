#include "app/Resources.h"

namespace brevonne {

namespace {

struct sStringResource {
    int id;
    const char* text;
};

const sStringResource kStrings[] = {
    {1, "Brevonne_3D"},
};

} // namespace

const char* LoadStringResource(int id) {
    for (const sStringResource& entry : kStrings) {
        if (entry.id == id) {
            return entry.text;
        }
    }
    return nullptr;
}

} // namespace brevonne
