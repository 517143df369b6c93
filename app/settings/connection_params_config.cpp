#include "connection_params_config.h"

#include "config_paths.h"
#include "jsettings.h"
#include "qt_text.h"

namespace {
const char kRoot[] = "connectionparams";
const char kGroup[] = "connection";
}  // namespace

std::string ConnectionParamsConfig::path_;

ConnectionParamsConfig::ConnectionParamsConfig()
    : ConnectionParamsConfig(ConfigPaths::filePath("connectionparams")) {}

ConnectionParamsConfig::ConnectionParamsConfig(const std::string& path) {
    path_ = path;
}

void ConnectionParamsConfig::load(ConnectionParams& params) const {
    JSettings s(path_, kRoot, JSettings::kOpenFile);
    s.beginGroup(kGroup);
    params.type = s.intValue("type", 0);
    params.port = s.intValue("port", 1);
    params.baud = s.intValue("baud", 9600);
    params.automethod = s.intValue("automethod", 0);
    params.device = fromUtf8String(s.stringValue("device"));
    params.address = fromUtf8String(s.stringValue("address"));
    params.manufacture = fromUtf8String(s.stringValue("manufacture", "ZOR"));
    params.devicetype = fromUtf8String(s.stringValue("devicetype", "Survey RTK"));
    params.needauto = s.intValue("needauto", 0) != 0;
    params.staticstation = fromUtf8String(s.stringValue("staticstation"));
    params.ip = fromUtf8String(s.stringValue("ip"));
    params.serverport = s.uintValue("serverport", 0);
    params.channel = s.intValue("channel", 0);
    s.endGroup();
}

void ConnectionParamsConfig::save(const ConnectionParams& params) const {
    JSettings s(path_, kRoot, JSettings::kOpenFile);
    s.beginGroup(kGroup);
    s.setIntValue("type", params.type);
    s.setIntValue("port", params.port);
    s.setIntValue("baud", params.baud);
    s.setIntValue("automethod", params.automethod);
    s.setStringValue("device", toUtf8String(params.device));
    s.setStringValue("address", toUtf8String(params.address));
    s.setStringValue("manufacture", toUtf8String(params.manufacture));
    s.setStringValue("devicetype", toUtf8String(params.devicetype));
    s.setIntValue("needauto", params.needauto ? 1 : 0);
    s.setStringValue("staticstation", toUtf8String(params.staticstation));
    s.setStringValue("ip", toUtf8String(params.ip));
    s.setULongValue("serverport", params.serverport);
    s.setIntValue("channel", params.channel);
    s.endGroup();
}
