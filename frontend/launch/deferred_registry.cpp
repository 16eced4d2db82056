#include "frontend/launch/deferred_registry.h"

#include <algorithm>
#include <utility>

namespace dravolo {

bool DeferredRegistry::CommitBatch(const RegBatch& batch, Error* /*error*/) {
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
    RegBatch perRoot[2];
    for (const auto& c : pending_.changes()) {
        RegBatch& b = perRoot[c.root == RegRoot::CurrentUser ? 0 : 1];
        switch (c.op) {
        case RegBatch::Op::CreateKey: b.CreateKey(c.root, c.path); break;
        case RegBatch::Op::SetValue: b.SetValue(c.root, c.path, c.value.name, c.value.type, c.value.data); break;
        case RegBatch::Op::DeleteValue: b.DeleteValue(c.root, c.path, c.value.name); break;
        case RegBatch::Op::DeleteTree: b.DeleteTree(c.root, c.path); break;
        }
    }
    pending_ = RegBatch();
    bool ok = true;
    for (int i = 0; i < 2; ++i) {
        if (perRoot[i].empty() || target_.Commit(perRoot[i])) continue;
        ok = false;
        const RegRoot root = i == 0 ? RegRoot::CurrentUser : RegRoot::LocalMachine;
        if (std::find(failures_.begin(), failures_.end(), root) == failures_.end()) failures_.push_back(root);
    }
    return ok;
}

std::vector<RegRoot> DeferredRegistry::TakeFailures() { return std::exchange(failures_, {}); }

}  // namespace dravolo
