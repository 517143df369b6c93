// The round-trip rows of the survey pages: static recording (old protocol) and internal
// recording (new), the two RTK pages, the base position page and its list, the NMEA output
// page and the satellite channel page, each in the protocols it serves.
#include "roundtrip.h"

#include "app_config.h"
#include "config_paths.h"
#include "father_widget.h"
#include "jsettings.h"
#include "widget.h"

namespace varnok_test {
namespace {

using roundtrip::Change;
using roundtrip::Driver;
using roundtrip::Protocol;
using roundtrip::RoundTripCase;

const char* const kBaudChanged =
    "Serial port's baud rate has been changed, reconnect if you want to continue using it.";

// The old receiver's recording settings: the device block carries record_*, and a setting
// stores both key families, so both start equal.
std::vector<std::string> OldRecording(int board, int mode, int session, int interval, int mask) {
    const std::string m = std::to_string(mode), s = std::to_string(session),
                      i = std::to_string(interval), k = std::to_string(mask);
    return {"firmware=8.20",        "board=" + std::to_string(board),
            "record_mode=" + m,     "log_mode=" + m,
            "record_session=" + s,  "session_length=" + s,
            "record_interval=" + i, "sample_interval=" + i,
            "record_mask=" + k};
}

void AddStatic(std::vector<RoundTripCase>& r) {
    // The recording settings as read go back unchanged; "2 Min" is one of them.
    RoundTripCase s;
    s.name = "StaticOld";
    s.page = "Static";
    s.protocol = Protocol::Old;
    s.sim = OldRecording(2, 1, 24, 120, 15);
    s.sim.push_back("memory=3");
    s.polls = {"QueryStaticStatus"};
    s.shows = {{"comboBox_record_method", "Auto"},
               {"comboBox_record_period", "1 day"},
               {"comboBox_sample_gap", "2 Min"},
               {"leMask", "15"},
               {"lineEdit_memory", "16GB"}};
    s.edit = [](Driver& d) { d.choose("comboBox_sample_gap", 30); };
    s.edited = {Change("sample_interval", "30", "the interval chosen"),
                Change("record_interval", "30", "the interval chosen")};
    r.push_back(s);

    // A mask above the receiver's 90 degrees is shown and refused, never sent.
    RoundTripCase mask = s;
    mask.name = "StaticOldMaskOverNinety";
    mask.sim = OldRecording(2, 1, 24, 5, 95);
    mask.shows = {{"leMask", "95"}};
    mask.messages = {"Elevation Mask should be between 0 and 90 degrees."};
    mask.edit = [](Driver& d) { d.typeText("leMask", "90"); };
    mask.edited = {Change("record_mask", "90", "the mask typed")};
    r.push_back(mask);

    // An interval no item carries leaves the box empty: Set asks for it.
    RoundTripCase gap = s;
    gap.name = "StaticOldIntervalNoItemCarries";
    gap.sim = OldRecording(7, 0, 1, 251, 10);
    gap.shows = {{"comboBox_sample_gap", ""}, {"comboBox_record_method", "Manual"}};
    gap.messages = {"Please enter parameters."};
    gap.edit = [](Driver& d) { d.choose("comboBox_sample_gap", 5); };
    gap.edited = {Change("sample_interval", "5", "the interval chosen"),
                  Change("record_interval", "5", "the interval chosen")};
    r.push_back(gap);
}

void AddStaticPoint(std::vector<RoundTripCase>& r) {
    // A height read as a tiny float: shown in the editor's form (marked, as it is not the
    // value), and Set writes the point back bit for bit.
    RoundTripCase p;
    p.name = "StaticOldPointTinyHeight";
    p.page = "Static";
    p.protocol = Protocol::Old;
    p.sim = OldRecording(2, 1, 24, 5, 10);
    for (const char* k : {"point_name=PT01", "point_height_bits=1873", "point_antenna=28",
                          "point_method=3", "static_antenna=ZORK45"}) {
        p.sim.push_back(k);
    }
    p.polls = {"QueryStaticStatus"};
    p.prepare = [](Driver& d) {
        d.click("checkBox_advance");
        d.pressKey("Get");
    };
    p.shows = {{"lineEdit_Point", "PT01"},
               {"lineEdit_antenna_height", "0.0000"},
               {"comboBox_antenna_type", "K45"},
               {"comboBox_survey_to", "Slant"}};
    p.edit = [](Driver& d) { d.typeText("lineEdit_antenna_height", "1.5"); };
    p.edited = {Change("point_height_bits", "1069547520", "the height typed")};
    r.push_back(p);
}

void AddInternalRecording(std::vector<RoundTripCase>& r) {
    RoundTripCase rec;
    rec.name = "InternalRecordingNew";
    rec.page = "Static";
    rec.protocol = Protocol::New;
    rec.sim = {"record_minutes=1440", "record_code=15", "elevation_mask=90", "record_auto_open=1"};
    rec.query = "Send_File_Record_Param";
    rec.polls = {"Send_File_Record_Status_Query"};
    rec.shows = {{"leDataLogSession", "1440"},
                 {"cbInterval", "60 s"},
                 {"leMask", "90"},
                 {"cbAuto", "checked"},
                 {"lblStatus", "Status: OFF"}};
    rec.edit = [](Driver& d) { d.typeText("leDataLogSession", "10"); };
    rec.edited = {Change("record_minutes", "10", "the session typed")};
    r.push_back(rec);

    // The parameter record never came: Set would send zeros for it, so it refuses.
    RoundTripCase silent = rec;
    silent.name = "InternalRecordingNewParametersUnanswered";
    silent.sim = {"record_minutes=60", "record_code=9", "drop=Send_File_Record_Param"};
    silent.shows = {{"leDataLogSession", ""}};
    silent.messages = {
        "Recording parameters were not read from the receiver: press Get and try again."};
    silent.edit = nullptr;
    r.push_back(silent);

    // A mask above 90 degrees is shown as read and refused, never sent.
    RoundTripCase mask = rec;
    mask.name = "InternalRecordingNewMaskOverNinety";
    mask.sim = {"record_minutes=1440", "record_code=15", "elevation_mask=95", "record_auto_open=1"};
    mask.shows = {{"leMask", "95"}};
    mask.messages = {"Elevation Mask should be between 0 and 90 degrees."};
    mask.edit = [](Driver& d) { d.typeText("leMask", "90"); };
    mask.edited = {Change("elevation_mask", "90", "the mask typed")};
    r.push_back(mask);

    // A session the editor's range lacks is shown as read and refused, not clamped.
    RoundTripCase longer = rec;
    longer.name = "InternalRecordingNewSessionOverItsRange";
    longer.sim = {"record_minutes=2000", "record_code=9", "elevation_mask=10"};
    longer.shows = {{"leDataLogSession", "2000"}};
    longer.messages = {"Data log session should be between 10 and 1440 minutes."};
    longer.edit = [](Driver& d) { d.typeText("leDataLogSession", "1440"); };
    longer.edited = {Change("record_minutes", "1440", "the session typed")};
    r.push_back(longer);
}

void AddRtk(std::vector<RoundTripCase>& r) {
    RoundTripCase old;
    old.name = "RtkOld";
    old.page = "RTK";
    old.protocol = Protocol::Old;
    old.sim = {"firmware=8.20",   "board=2",           "output_mode=1",         "start_mode=2",
               "transmit_port=2", "transmit_format=3", "rtk_elevation_mask=15", "output_rate_hz=5"};
    old.shows = {{"comboBox_outPut", "Raw Data"},      {"comboBox_startWay", "Auto Rover"},
                 {"comboBox_sendPort", "GPRS Or UHF"}, {"comboBox_diffMode", "RTCM3"},
                 {"comboBox_output_freq", "5 Hz"},     {"lineEdit_elevMask", "15"}};
    old.edit = [](Driver& d) { d.choose("comboBox_diffMode", 1); };
    old.edited = {Change("transmit_format", "1", "the format chosen")};
    r.push_back(old);

    // A transmit port no item carries: marked, and Set names it with the value read.
    RoundTripCase port = old;
    port.name = "RtkOldTransmitPortNoItemCarries";
    port.sim = {"firmware=8.20",         "board=2",         "transmit_port=7", "transmit_format=3",
                "rtk_elevation_mask=15", "output_rate_hz=1"};
    port.shows = {{"comboBox_sendPort", ""}};
    port.messages = {
        "Transmit Port: the receiver reports 7, which no item carries. Choose one to set it."};
    port.edit = [](Driver& d) { d.choose("comboBox_sendPort", 1); };
    port.edited = {Change("transmit_port", "1", "the port chosen")};
    r.push_back(port);

    // An output rate no item carries is not 1 Hz: marked, and Set names it with the rate.
    RoundTripCase rate = old;
    rate.name = "RtkOldOutputRateNoItemCarries";
    rate.sim = {"firmware=8.20",         "board=2",          "output_mode=1",
                "start_mode=2",          "transmit_port=2",  "transmit_format=3",
                "rtk_elevation_mask=15", "output_rate_hz=20"};
    rate.shows = {{"comboBox_output_freq", ""}};
    rate.messages = {
        "Output Freq.: the receiver reports 20 Hz, which no item carries. Choose one to set it."};
    rate.edit = [](Driver& d) { d.choose("comboBox_output_freq", 2); };
    rate.edited = {Change("output_rate_hz", "5", "the rate chosen")};
    r.push_back(rate);

    // An output mode, receiver mode or data format no item carries: marked, and Set names it.
    const struct {
        const char* name;
        const char* key;
        const char* box;
        const char* label;
        int chosen;
    } unknownCodes[] = {
        {"RtkOldOutputModeNoItemCarries", "output_mode", "comboBox_outPut", "Output Mode", 0},
        {"RtkOldReceiverModeNoItemCarries", "start_mode", "comboBox_startWay", "Receiver Mode", 0},
        {"RtkOldDataFormatNoItemCarries", "transmit_format", "comboBox_diffMode", "Data Format", 1},
    };
    for (const auto& u : unknownCodes) {
        RoundTripCase c = old;
        c.name = u.name;
        for (std::string& s : c.sim) {
            if (s.rfind(std::string(u.key) + "=", 0) == 0) {
                s = std::string(u.key) + "=9";
            }
        }
        c.shows = {{u.box, ""}};
        c.messages = {QString("%1: the receiver reports 9, which no item carries. Choose one to "
                              "set it.")
                          .arg(u.label)};
        const std::string box = u.box;
        const int chosen = u.chosen;
        c.edit = [box, chosen](Driver& d) { d.choose(box.c_str(), chosen); };
        c.edited = {Change(u.key, std::to_string(u.chosen), "the item chosen")};
        r.push_back(c);
    }

    // A mask read as 255 is shown and marked, and goes back as 255, never as 0.
    RoundTripCase mask = old;
    mask.name = "RtkOldElevationMask255";
    mask.sim = {"firmware=8.20",          "board=2",         "output_mode=1",
                "start_mode=2",           "transmit_port=2", "transmit_format=3",
                "rtk_elevation_mask=255", "output_rate_hz=5"};
    mask.shows = {{"lineEdit_elevMask", "255"}};
    mask.edit = [](Driver& d) { d.typeText("lineEdit_elevMask", "15"); };
    mask.edited = {Change("rtk_elevation_mask", "15", "the mask typed")};
    r.push_back(mask);

    // With the application's language type 1 and "GPRS And Cable", Set also switches the
    // radio module off: the one write the untouched Set makes beyond what it read.
    RoundTripCase typeOne = old;
    typeOne.name = "RtkOldCurrentTypeOneGprsAndCable";
    typeOne.sim = {
        "firmware=8.20",         "board=2",          "transmit_port=3", "transmit_format=3",
        "rtk_elevation_mask=15", "output_rate_hz=1", "transmit_mode=1"};
    typeOne.shows = {{"comboBox_sendPort", "GPRS And Cable"}};
    typeOne.expected = {Change("transmit_mode", "0",
                               "language type 1 with GPRS And Cable sends the radio module off")};
    typeOne.open = [](Driver& d) -> Varnok::Widget* {
        {
            JSettings s(ConfigPaths::filePath("config"), "global", JSettings::kOpenFile);
            s.beginGroup("Language");
            s.setIntValue("CurrentType", 1);
            s.endGroup();
        }
        QString name, suffix;
        AppConfig::instance().load(name, suffix);
        EXPECT_EQ(AppConfig::instance().currentType(), 1);
        d.frame()->onCommand(QStringLiteral("RTK"));
        return d.frame()->currentPage();
    };
    r.push_back(typeOne);

    // Every answer read: the set-up goes back as it came.
    RoundTripCase rtk;
    rtk.name = "RtkNew";
    rtk.page = "RTK";
    rtk.protocol = Protocol::New;
    rtk.sim = {"io1_diff=6", "io5_diff=6",  "io6_diff=0",        "diff_type=6",
               "com_baud=3", "base_mode=1", "elevation_mask=15", "pdop_mask=4"};
    rtk.query = "Send_Com_Baudrate";
    rtk.shows = {{"cbMode", "Auto Rover"},    {"leElevMask", "15"},   {"lePdopMask", "4"},
                 {"cbSerialPort", "checked"}, {"cbRadio", "checked"}, {"cbNetwork", "unchecked"}};
    rtk.edit = [](Driver& d) { d.typeText("lePdopMask", "5"); };
    rtk.edited = {Change("pdop_mask", "5", "the PDOP mask typed")};
    r.push_back(rtk);

    // No IO list answers: no output is switched, and a new port rate still warns over a
    // serial link.
    RoundTripCase lists = rtk;
    lists.name = "RtkNewListsUnanswered";
    lists.sim = {"io1_diff=6",
                 "diff_type=6",
                 "com_baud=3",
                 "base_mode=1",
                 "elevation_mask=15",
                 "pdop_mask=4",
                 "drop=Send_Gnss_Data_Configlist_Query"};
    lists.shows = {{"cbSerialPort", "unchecked"}, {"lePdopMask", "4"}};
    lists.edit = [](Driver& d) { d.choose("cbBaud", 5); };
    lists.edited = {Change("com_baud", "5", "the baud rate chosen")};
    lists.editMessagesOverSerial = {kBaudChanged};
    r.push_back(lists);
}

void AddBasePosition(std::vector<RoundTripCase>& r) {
    RoundTripCase old;
    old.name = "BasePositionOldDistance";
    old.page = "BasePosition";
    old.protocol = Protocol::Old;
    old.deviceType = 2;
    old.sim = {"firmware=8.20", "base_list_radius=12.5", "auto_base_distance=300"};
    old.query = "Query_BasePosition_Difference";
    old.shows = {{"leDist", "12.5"}};
    // Set writes the distance and, as the page's distance Set always does, its whole metres
    // as the auto-base distance.
    old.expected = {Change("auto_base_distance", "12",
                           "Set also writes the whole-number "
                           "auto-base distance")};
    old.edit = [](Driver& d) { d.typeText("leDist", "20"); };
    old.edited = {Change("base_list_radius", "20", "the distance typed"),
                  Change("auto_base_distance", "20", "its whole metres")};
    r.push_back(old);

    // No distance answer: the default shown is marked and never written untouched.
    RoundTripCase silent = old;
    silent.name = "BasePositionOldDistanceUnanswered";
    silent.sim = {"firmware=8.20", "base_list_radius=12.5", "drop=Query_BasePosition_Difference"};
    silent.shows = {{"leDist", "10"}};
    silent.expected = {};
    silent.messages = {"Distance was not read from the receiver: enter it to set it."};
    r.push_back(silent);

    RoundTripCase fresh;
    fresh.name = "BasePositionNewDistance";
    fresh.page = "BasePosition";
    fresh.protocol = Protocol::New;
    fresh.sim = {"base_list_radius=12.5", "base_list_limit=10"};
    fresh.query = "Send_Gnss_Base_Position_list";
    fresh.shows = {{"leDist", "12.5"}};
    fresh.edit = [](Driver& d) { d.typeText("leDist", "20"); };
    fresh.edited = {Change("base_list_radius", "20", "the distance typed")};
    r.push_back(fresh);

    // The list never came: neither the untouched default nor a typed distance goes out (the
    // list record carries both), and each refusal says why.
    RoundTripCase noList = fresh;
    noList.name = "BasePositionNewListUnanswered";
    noList.sim = {"base_list_radius=12.5", "drop=Send_Gnss_Base_Position_list"};
    noList.shows = {{"leDist", "10"}};
    noList.messages = {"Distance was not read from the receiver: enter it to set it."};
    noList.edited = {};
    noList.editMessages = {
        "The receiver's base position list has not been read yet: nothing was sent."};
    r.push_back(noList);

    // The list page only reads.
    for (Protocol p : {Protocol::Old, Protocol::New}) {
        RoundTripCase list;
        list.name = p == Protocol::Old ? "BasePositionListOld" : "BasePositionListNew";
        list.page = "BasePositionList";
        list.protocol = p;
        list.deviceType = 2;
        list.sim = {"firmware=8.20", "base_list_limit=10"};
        list.query =
            p == Protocol::Old ? "Query_BasePosition_List" : "Send_Gnss_Base_Position_list";
        list.press = "Get";
        r.push_back(list);
    }
}

void AddOutput(std::vector<RoundTripCase>& r) {
    // Old protocol: port, output and rates read go back; the reboot question is answered No.
    RoundTripCase old;
    old.name = "NmeaOutputOld";
    old.page = "0183OutPut";
    old.protocol = Protocol::Old;
    old.sim = {"firmware=8.20", "board=2", "nmea_port=250", "nmea_output=2",
               "nmea_rates=3,0,0,0,0,0,0,0,0,0,0"};
    old.query = "Query_NMEA_Output_Configs";
    old.press = "Accept";
    old.answers = {QMessageBox::No};
    old.messages = {"Output selected data after reboot?"};
    old.shows = {{"comboBox_baudrate", "57600 b/s"}, {"cbMethods", "BlueTooth"}};
    old.edit = [](Driver& d) { d.choose("comboBox_baudrate", 115200); };
    old.edited = {Change("nmea_port", "253", "the baud rate chosen")};
    old.editAnswers = {QMessageBox::No};
    old.editMessages = {"Output selected data after reboot?"};
    old.editMessagesOverSerial = {"Output selected data after reboot?", kBaudChanged};
    r.push_back(old);

    // A port byte no baud carries is not 9600: shown as none, and Accept leaves the port.
    RoundTripCase oldPort = old;
    oldPort.name = "NmeaOutputOldPortByteNoBaudCarries";
    oldPort.sim = {"firmware=8.20", "board=2", "nmea_port=100", "nmea_output=2",
                   "nmea_rates=3,0,0,0,0,0,0,0,0,0,0"};
    oldPort.shows = {{"comboBox_baudrate", ""}, {"cbMethods", "BlueTooth"}};
    r.push_back(oldPort);

    // An output code no item carries is not "Both": marked, and Accept names it.
    RoundTripCase method = old;
    method.name = "NmeaOutputOldMethodNoItemCarries";
    method.sim = {"firmware=8.20", "board=2", "nmea_port=250", "nmea_output=7",
                  "nmea_rates=3,0,0,0,0,0,0,0,0,0,0"};
    method.answers = {};
    method.messages = {
        "Output Method: the receiver reports 7, which no item carries. Choose one to set it."};
    method.shows = {{"comboBox_baudrate", "57600 b/s"}, {"cbMethods", ""}};
    method.edit = [](Driver& d) { d.choose("cbMethods", 1); };
    method.edited = {Change("nmea_output", "1", "the output method chosen")};
    method.editMessagesOverSerial = {};
    r.push_back(method);

    // New protocol: Accept writes the rates read from IO 0 to the Bluetooth and serial ports
    // (IO 4 and 1), which the query cannot read back; the port's rate goes back as read.
    RoundTripCase fresh;
    fresh.name = "NmeaOutputNew";
    fresh.page = "0183OutPut";
    fresh.protocol = Protocol::New;
    fresh.sim = {"data_rates=12:9,27:6", "com_baud=8"};
    fresh.query = "Send_Com_Baudrate";
    fresh.press = "Accept";
    fresh.shows = {{"comboBox_baudrate", "57600 b/s"}, {"checkBox", "checked"}};
    // Every sentence row goes out, the ones IO 0 does not send as off (code 1).
    const std::string off = "28:1,29:1,30:1,32:1,33:1,37:1,38:1,39:1,40:1,41:1,42:1,43:1";
    const std::string written = "12:9,13:1,25:1,26:1,27:6," + off;
    fresh.expected = {Change("io1_rates", written, "Accept writes IO 1 from IO 0's list"),
                      Change("io4_rates", written, "Accept writes IO 4 from IO 0's list")};
    fresh.edit = [](Driver& d) { d.choose("comboBox_baudrate", 115200); };
    fresh.edited = {Change("com_baud", "9", "the baud rate chosen")};
    fresh.editMessagesOverSerial = {kBaudChanged};
    r.push_back(fresh);

    // A port code no item carries: shown as none, and Accept leaves the port alone.
    RoundTripCase port = fresh;
    port.name = "NmeaOutputNewPortCodeNoItemCarries";
    port.sim = {"data_rates=12:9", "com_baud=7"};
    const std::string portWritten = "12:9,13:1,25:1,26:1,27:1," + off;
    port.expected = {Change("io1_rates", portWritten, "Accept writes IO 1 from IO 0's list"),
                     Change("io4_rates", portWritten, "Accept writes IO 4 from IO 0's list")};
    port.shows = {{"comboBox_baudrate", ""}};
    port.edit = [](Driver& d) { d.choose("comboBox_baudrate", 19200); };
    port.edited = {Change("com_baud", "5", "the baud rate chosen")};
    r.push_back(port);

    // A list code without a name is shown by its code and goes back unchanged, not as off.
    RoundTripCase code = fresh;
    code.name = "NmeaOutputNewListCodeWithoutAName";
    code.sim = {"data_rates=12:3", "com_baud=8"};
    const std::string codeWritten = "12:3,13:1,25:1,26:1,27:1," + off;
    code.expected = {Change("io1_rates", codeWritten, "Accept writes IO 1 from IO 0's list"),
                     Change("io4_rates", codeWritten, "Accept writes IO 4 from IO 0's list")};
    r.push_back(code);

    // The port's answer never came: the handheld's own rate is not written for it.
    RoundTripCase silent = port;
    silent.name = "NmeaOutputNewPortUnanswered";
    silent.sim = {"data_rates=12:9", "com_baud=6", "drop=Send_Com_Baudrate"};
    silent.query = "Send_Gnss_Data_Configlist_Query";
    r.push_back(silent);
}

void AddSatelliteChannels(std::vector<RoundTripCase>& r) {
    RoundTripCase sat;
    sat.name = "SatelliteChannelsOld";
    sat.page = "SatelliteChannelControl";
    sat.protocol = Protocol::Old;
    sat.sim = {"firmware=8.21", "board=2", "sat_channels=160"};
    sat.shows = {{"L2CBox", "checked"}, {"L5Box", "unchecked"}, {"L3Box", "checked"}};
    sat.edit = [](Driver& d) { d.click("L5Box"); };
    sat.edited = {Change("sat_channels", "224", "L5 ticked")};
    r.push_back(sat);
}

const std::vector<RoundTripCase>& SurveyCases() {
    static const std::vector<RoundTripCase> rows = [] {
        std::vector<RoundTripCase> r;
        AddStatic(r);
        AddStaticPoint(r);
        AddInternalRecording(r);
        AddRtk(r);
        AddBasePosition(r);
        AddOutput(r);
        AddSatelliteChannels(r);
        return r;
    }();
    return rows;
}

}  // namespace

VARNOK_ROUNDTRIP_ROWS(Survey, SurveyCases);

}  // namespace varnok_test
