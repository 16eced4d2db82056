#pragma once
// A registry that reads through another one and lets a test decide what a
// commit does: fail, or die part way.

#include "common/platform/registry.h"

namespace dravolo::test {

class ForwardingRegistry : public Registry {
public:
    explicit ForwardingRegistry(Registry& inner) : inner_(inner) {}
    bool KeyExists(RegRoot root, std::string_view path) override { return inner_.KeyExists(root, path); }
    std::optional<RegValue> QueryValue(RegRoot root, std::string_view path, std::string_view name) override {
        return inner_.QueryValue(root, path, name);
    }
    std::optional<std::vector<RegValue>> EnumValues(RegRoot root, std::string_view path) override {
        return inner_.EnumValues(root, path);
    }
    std::optional<std::vector<std::string>> EnumSubkeys(RegRoot root, std::string_view path) override {
        return inner_.EnumSubkeys(root, path);
    }
    bool CommitBatch(const RegBatch& batch, Error* error) override { return inner_.Commit(batch, error); }

protected:
    Registry& inner() { return inner_; }

private:
    Registry& inner_;
};

}  // namespace dravolo::test
