#include "frontend/launch/plugin_fields.h"

namespace dravolo {

namespace {

const std::string& Pick(PluginType type, const std::string& gpu, const std::string& spu, const std::string& cdr) {
    switch (type) {
    case PluginType::Gpu: return gpu;
    case PluginType::Spu: return spu;
    case PluginType::Cdr: return cdr;
    }
    return gpu;
}

struct FieldOf {
    PluginType type;
    const std::string& operator()(const _EPSXEDATA& r) const {
        return Pick(type, r.VideoPlugin, r.SoundPlugin, r.CdromPlugin);
    }
    const std::string& operator()(const _FPSEDATA& r) const {
        return Pick(type, r.GpuPlugin, r.SpuPlugin, r.CdrPlugin);
    }
    const std::string& operator()(const _PSINEXDATA& r) const { return Pick(type, r.Graphics, r.Sound, r.CdRom); }
    const std::string& operator()(const _ADRIPSXDATA& r) const {
        return Pick(type, r.GPUplugin, r.SPUplugin, r.CDRplugin);
    }
    const std::string& operator()(const _PCSXDATA& r) const { return Pick(type, r.Gpu, r.Spu, r.Cdr); }
};

}  // namespace

const std::string& PluginField(const AnyProfileRecord& record, PluginType type) {
    return std::visit(FieldOf{type}, record);
}

bool HasAllPlugins(const AnyProfileRecord& record) {
    for (PluginType type : {PluginType::Gpu, PluginType::Spu, PluginType::Cdr})
        if (PluginField(record, type).empty()) return false;
    return true;
}

}  // namespace dravolo
