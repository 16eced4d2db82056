#include "common/platform/registry.h"

namespace dravolo {

bool IsRegStringType(std::uint32_t type) { return type == kRegSz || type == kRegExpandSz || type == kRegMultiSz; }

Bytes RegSzData(std::string_view text) {
    Bytes out(text.begin(), text.end());
    out.push_back(0);
    return out;
}

Bytes RegDwordData(std::uint32_t value) {
    Bytes out(4);
    StoreU32(out.data(), value);
    return out;
}

std::string RegDataAsText(const Bytes& data) {
    std::string text(data.begin(), data.end());
    if (auto nul = text.find('\0'); nul != std::string::npos) text.resize(nul);
    return text;
}

std::optional<std::uint32_t> RegDataAsDword(const Bytes& data) {
    if (data.size() < 4) return std::nullopt;
    return LoadU32(data.data());
}

void RegBatch::CreateKey(RegRoot root, std::string_view path) {
    changes_.push_back({Op::CreateKey, root, std::string(path), {}});
}

void RegBatch::SetValue(RegRoot root, std::string_view path, std::string_view name, std::uint32_t type, Bytes data) {
    changes_.push_back({Op::SetValue, root, std::string(path), RegValue{std::string(name), type, std::move(data)}});
}

void RegBatch::SetString(RegRoot root, std::string_view path, std::string_view name, std::string_view text) {
    SetValue(root, path, name, kRegSz, RegSzData(text));
}

void RegBatch::SetDword(RegRoot root, std::string_view path, std::string_view name, std::uint32_t value) {
    SetValue(root, path, name, kRegDword, RegDwordData(value));
}

void RegBatch::DeleteValue(RegRoot root, std::string_view path, std::string_view name) {
    changes_.push_back({Op::DeleteValue, root, std::string(path), RegValue{std::string(name), kRegNone, {}}});
}

void RegBatch::DeleteTree(RegRoot root, std::string_view path) {
    changes_.push_back({Op::DeleteTree, root, std::string(path), {}});
}

std::string Registry::StoreName(RegRoot root) const {
    return root == RegRoot::CurrentUser ? "HKEY_CURRENT_USER" : "HKEY_LOCAL_MACHINE";
}

bool Registry::CreateKey(RegRoot root, std::string_view path, Error* error) {
    RegBatch batch;
    batch.CreateKey(root, path);
    return Commit(batch, error);
}

bool Registry::SetValue(RegRoot root, std::string_view path, std::string_view name, std::uint32_t type, Bytes data,
                        Error* error) {
    RegBatch batch;
    batch.SetValue(root, path, name, type, std::move(data));
    return Commit(batch, error);
}

bool Registry::SetString(RegRoot root, std::string_view path, std::string_view name, std::string_view text,
                         Error* error) {
    RegBatch batch;
    batch.SetString(root, path, name, text);
    return Commit(batch, error);
}

bool Registry::SetDword(RegRoot root, std::string_view path, std::string_view name, std::uint32_t value, Error* error) {
    RegBatch batch;
    batch.SetDword(root, path, name, value);
    return Commit(batch, error);
}

bool Registry::DeleteValue(RegRoot root, std::string_view path, std::string_view name, Error* error) {
    RegBatch batch;
    batch.DeleteValue(root, path, name);
    return Commit(batch, error);
}

bool Registry::DeleteTree(RegRoot root, std::string_view path, Error* error) {
    RegBatch batch;
    batch.DeleteTree(root, path);
    return Commit(batch, error);
}

std::optional<std::string> Registry::QueryString(RegRoot root, std::string_view path, std::string_view name) {
    auto value = QueryValue(root, path, name);
    if (!value || !IsRegStringType(value->type)) return std::nullopt;
    return RegDataAsText(value->data);
}

std::optional<std::uint32_t> Registry::QueryDword(RegRoot root, std::string_view path, std::string_view name) {
    auto value = QueryValue(root, path, name);
    if (!value || IsRegStringType(value->type)) return std::nullopt;
    return RegDataAsDword(value->data);
}

}  // namespace dravolo
