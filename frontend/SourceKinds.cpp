#include "frontend/SourceKinds.h"

#include <cstring>

const SourceKind* SourceKinds::byKind(uint8_t kind) {
    for (const SourceKind& k : table()) {
        if (k.kind == kind) {
            return &k;
        }
    }
    return nullptr;
}

const SourceKind* SourceKinds::byTypeId(const char* typeId) {
    if (!typeId) {
        return nullptr;
    }
    for (const SourceKind& k : table()) {
        if (std::strcmp(k.typeId, typeId) == 0) {
            return &k;
        }
    }
    return nullptr;
}
