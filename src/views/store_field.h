#pragma once

#include <functional>

namespace kv {

// The store rule of an editor that puts a checked value straight into a
// record field (the field outlives the editor): true when the field changed,
// so that only a change is written.
template <class Field> std::function<bool(int)> storeInto(Field& field) {
    return [&field](int value) {
        const Field stored = static_cast<Field>(value);
        if (field == stored)
            return false;
        field = stored;
        return true;
    };
}

} // namespace kv
