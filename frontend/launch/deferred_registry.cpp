#include "frontend/launch/deferred_registry.h"

namespace dravolo {

bool DeferredRegistry::Commit(const RegBatch& batch) {
    for (const auto& c : batch.changes()) {
        switch (c.op) {
            case RegBatch::Op::CreateKey: pending_.CreateKey(c.root, c.path); break;
            case RegBatch::Op::SetValue: pending_.SetValue(c.root, c.path, c.value.name, c.value.type, c.value.data); break;
            case RegBatch::Op::DeleteValue: pending_.DeleteValue(c.root, c.path, c.value.name); break;
            case RegBatch::Op::DeleteTree: pending_.DeleteTree(c.root, c.path); break;
        }
    }
    return true;
}

bool DeferredRegistry::Flush() {
    if (pending_.empty()) return true;
    const bool ok = target_.Commit(pending_);
    pending_ = RegBatch();
    return ok;
}

}  // namespace dravolo
