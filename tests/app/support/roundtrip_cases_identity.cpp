// The round-trip rows of the identity pages: "Info" on both protocols (the old page and the
// new-protocol DeviceInfoWidget).
#include "roundtrip.h"

namespace varnok_test {
namespace {

using roundtrip::Link;
using roundtrip::Protocol;
using roundtrip::RoundTripCase;

const std::vector<RoundTripCase>& IdentityCases() {
    static const std::vector<RoundTripCase> rows = [] {
        std::vector<RoundTripCase> r;

        // "Get" only reads: the receiver keeps everything.
        RoundTripCase info;
        info.name = "InfoOld";
        info.page = "Info";
        info.protocol = Protocol::Old;
        info.sim = {"board=2",       "model=1905", "serial=580214",
                    "firmware=8.14", "battery=70", "gprs_version=1.50"};
        info.query = "Send_Battery";
        info.press = "Get";
        // Shown once a "Get" has read all three: the battery answers the visit late.
        info.prepare = [](roundtrip::Driver& d) { d.pressKey("Get"); };
        info.shows = {{"lineEdit_style", "1905"},
                      {"lineEdit_SN", "580214"},
                      {"lineEdit_version", "8.14"},
                      {"lineEdit_Baterry", "70%"},
                      {"lineEdit_GPRSVersion", "1.50"}};
        r.push_back(info);

        // The record's serial field holds 6 characters and the firmware 4: longer texts
        // arrive cut by the receiver's own record and are shown as they came.
        RoundTripCase infoLong = info;
        infoLong.name = "InfoOldTextsOneOverTheirFields";
        infoLong.sim = {"board=2", "model=1905", "serial=ABCDEFG", "firmware=8.201",
                        "external_power=1"};
        infoLong.shows = {{"lineEdit_SN", "ABCDEF"},
                          {"lineEdit_version", "8.20"},
                          {"lineEdit_Baterry", "External power supply"}};
        r.push_back(infoLong);

        // The battery never answers and the device record comes last: the page shows what
        // came, without a warning.
        RoundTripCase infoPartial = info;
        infoPartial.name = "InfoOldPartlyAnsweredInAnotherOrder";
        infoPartial.sim = {"board=2", "serial=580214", "gprs_version=2.10", "drop=Send_Battery",
                           "late=Send_DeviceInfo:700"};
        infoPartial.shows = {
            {"lineEdit_SN", "580214"}, {"lineEdit_GPRSVersion", "2.10"}, {"lineEdit_Baterry", ""}};
        r.push_back(infoPartial);

        RoundTripCase infoNew;
        infoNew.name = "InfoNew";
        infoNew.page = "Info";
        infoNew.protocol = Protocol::New;
        infoNew.sim = {"serial=PG2604170033", "model=PN-9301", "firmware=2.4.17", "battery=70"};
        infoNew.query = "Send_System_Hardware_Info_Query";
        infoNew.press = "Get";
        infoNew.shows = {{"leModel", "Pocket GNSS"},
                         {"leSN", "PG2604170033"},
                         {"lePN", "PN-9301"},
                         {"leFWVersion", "2.4.17"},
                         {"leBattery", "70%"}};
        r.push_back(infoNew);

        // Serial and part number fill their 24-byte fields without a terminator: the record
        // keeps its last byte for one, so 23 characters show. The firmware's 50 show whole,
        // and the text after it stays out.
        RoundTripCase infoNewLong = infoNew;
        infoNewLong.name = "InfoNewTextsAtAndOverTheirFields";
        infoNewLong.sim = {"serial=ABCDEFGHIJKLMNOPQRSTUVW", "model=ABCDEFGHIJKLMNOPQRSTUVWX",
                           "firmware=" + std::string(50, 'F'), "firmware_extra=EXTRA",
                           "external_power=1"};
        infoNewLong.shows = {{"leSN", "ABCDEFGHIJKLMNOPQRSTUVW"},
                             {"lePN", "ABCDEFGHIJKLMNOPQRSTUVW"},
                             {"leFWVersion", QString(50, 'F')},
                             {"leBattery", "External power supply"}};
        r.push_back(infoNewLong);

        // Whole percents in the two level words read as percents, not as floats' bits.
        RoundTripCase infoNewPercent = infoNew;
        infoNewPercent.name = "InfoNewBatteryInWholePercents";
        infoNewPercent.sim = {"serial=SN5", "battery=70", "battery_form=percent"};
        infoNewPercent.shows = {{"leSN", "SN5"}, {"leBattery", "70%"}};
        r.push_back(infoNewPercent);

        RoundTripCase infoNewPartial = infoNew;
        infoNewPartial.name = "InfoNewPartlyAnsweredInAnotherOrder";
        infoNewPartial.sim = {"serial=SN7", "drop=Send_System_Firmware_Info_Query",
                              "late=Send_System_Hardware_Info_Query:700"};
        infoNewPartial.shows = {{"leSN", "SN7"}, {"leFWVersion", ""}, {"leBattery", "80%"}};
        r.push_back(infoNewPartial);

        return r;
    }();
    return rows;
}

}  // namespace

VARNOK_ROUNDTRIP_ROWS(Identity, IdentityCases);

}  // namespace varnok_test
