// Category 6: the new protocol's radio (kept in RadioConfig), network link, source-list pieces
// and data-link mode.
#include "answer_rows.h"
#include "device_codes.h"
#include "radio_config.h"
#include "record_view.h"

namespace Varnok {

namespace {

using A = DeviceAnswersAccess;

RadioConfig& radio() {
    return RadioConfig::instance();
}

template <class T>
T value(const CopiedBytes& in) {
    return takeBytes<T>(in);
}

bool applyModuleType(DeviceManager& m, const CopiedBytes& in) {
    const int type = value<QX_RADIO_MODULE_TYPE_ENUM>(in);
    A::cache(m).radioModuleType = type;
    radio().loadForType(type);
    return true;
}

void afterModuleType(DeviceManager& m) {
    m.queryRadioChannelList(false, false);
}

// The call sign and how long it was as sent.
bool applyCallsign(DeviceManager& m, const CopiedBytes& in) {
    const auto a = takeBytes<WithLengths<QX_RADIO_CALLSIGN_STRUCT>>(in);
    const QX_RADIO_CALLSIGN_STRUCT& c = a.record;
    A::cache(m).radioCallsignV2 = c;
    A::cache(m).textLengths.callsign = a.lengths.callsign;
    RadioCallSign sign;
    sign.on = c.b1 != 0;
    sign.interval = c.b2;
    sign.id = RecordView(c).text(offsetof(QX_RADIO_CALLSIGN_STRUCT, text), sizeof c.text);
    radio().setCallSign(sign);
    return true;
}

void copyChannelList(ReceiverSession& s, CopiedBytes& out) {
    QX_RADIO_CHANNEL_LIST_STRUCT list{};
    s.Get_Radio_Channel_List(list);
    putBytes(out, list);
}

bool applyChannelList(DeviceManager&, const CopiedBytes& in) {
    const QX_RADIO_CHANNEL_LIST_STRUCT list = value<QX_RADIO_CHANNEL_LIST_STRUCT>(in);
    double values[10] = {0.0};
    for (int i = 1; i < 10; ++i) {
        values[i] = DeviceCodes::roundChannelBits(list.channel[i]);
    }
    radio().setChannelFrequencies(values, 10);
    return false;
}

// The three lists go out as their counts and then (float bits, byte) pairs.
struct ChannelPair {
    std::uint32_t bits;
    std::uint8_t value;
};

void copyChannelTables(ReceiverSession& s, CopiedBytes& out) {
    QX_RADIO_CHANNEL_LIST_EX_STRUCT lists;
    s.Get_Radio_Channel_List(lists);
    const std::vector<QX_RADIO_CHANNEL_ENTRY>* all[] = {&lists.list1, &lists.list2, &lists.list3};
    out.clear();
    for (const auto* list : all) {
        const std::uint32_t count = static_cast<std::uint32_t>(list->size());
        const auto* c = reinterpret_cast<const unsigned char*>(&count);
        out.insert(out.end(), c, c + sizeof count);
        for (const QX_RADIO_CHANNEL_ENTRY& e : *list) {
            const ChannelPair p{e.value, e.flag};
            const auto* b = reinterpret_cast<const unsigned char*>(&p);
            out.insert(out.end(), b, b + sizeof p);
        }
    }
}

bool applyChannelTables(DeviceManager&, const CopiedBytes& in) {
    std::size_t at = 0;
    std::vector<RadioChannel> tables[3];
    for (auto& table : tables) {
        std::uint32_t count = 0;
        if (in.size() - at < sizeof count) {
            return false;
        }
        std::memcpy(&count, in.data() + at, sizeof count);
        at += sizeof count;
        if ((in.size() - at) / sizeof(ChannelPair) < count) {
            return false;
        }
        for (std::uint32_t i = 0; i < count; ++i, at += sizeof(ChannelPair)) {
            ChannelPair p{};
            std::memcpy(&p, in.data() + at, sizeof p);
            table.push_back({DeviceCodes::roundChannelBits(p.bits), p.value});
        }
    }
    // The first list is table 2, the last table 0.
    radio().setChannelTable(tables[0], 2);
    radio().setChannelTable(tables[1], 1);
    radio().setChannelTable(tables[2], 0);
    return false;
}

const AnswerRow kRows[] = {
    {0x80u, copyRecord<QX_RADIO_MODULE_TYPE_ENUM, &ReceiverSession::Get_Radio_Module_Type>,
     applyModuleType, 55, afterModuleType},
    {0x8u, copyResult<unsigned int, &ReceiverSession::Get_Radio_Air_Baud>,
     [](DeviceManager&, const CopiedBytes& in) {
         radio().setBaud(static_cast<int>(value<unsigned int>(in)));
         return true;
     },
     18, nullptr},
    {0x2u, copyResult<unsigned int, &ReceiverSession::Get_Radio_Power_V2>,
     [](DeviceManager&, const CopiedBytes& in) {
         radio().setPower(static_cast<int>(value<unsigned int>(in)));
         return true;
     },
     15, nullptr},
    {0x40u, copyResult<unsigned char, &ReceiverSession::Get_Radio_Auto_Power_On>,
     storeIsOne<&DeviceCache::radioAutoPower>, 56, nullptr},
    {0x1u, copyResult<float, &ReceiverSession::Get_Radio_Frequency>,
     [](DeviceManager&, const CopiedBytes& in) {
         radio().setFrequency(static_cast<double>(value<float>(in)));
         return true;
     },
     14, nullptr},
    {0x4u, copyResult<unsigned int, &ReceiverSession::Get_Radio_Stepper>,
     [](DeviceManager&, const CopiedBytes& in) {
         radio().setStepper(static_cast<int>(value<unsigned int>(in)));
         return true;
     },
     20, nullptr},
    {0x10u, copyRecord<QX_RADIO_PROTOCOL_ENUM, &ReceiverSession::Get_Radio_Protocol>,
     [](DeviceManager&, const CopiedBytes& in) {
         radio().setProtocol(value<QX_RADIO_PROTOCOL_ENUM>(in));
         return true;
     },
     13, nullptr},
    {0x100u, copyRecord<QX_RADIO_POWER_STATUS_ENUM, &ReceiverSession::Get_Radio_Power_Status>,
     store<int, &DeviceCache::radioPowerStatus>, 57, nullptr},
    {0x400000u, copyResult<unsigned char, &ReceiverSession::Get_Radio_FEC>,
     [](DeviceManager&, const CopiedBytes& in) {
         radio().setFecOn(value<unsigned char>(in) != 0);
         return true;
     },
     21, nullptr},
    {0x800000u, copyWithLengths<QX_RADIO_CALLSIGN_STRUCT, &ReceiverSession::Get_Radio_Callsign>,
     applyCallsign, 22, nullptr},
    {0x200000u, copyResult<unsigned char, &ReceiverSession::Get_Radio_Sensitivity>,
     [](DeviceManager&, const CopiedBytes& in) {
         radio().setSensitivity(RadioConfig::sensitivityChoice(value<unsigned char>(in)));
         return true;
     },
     19, nullptr},
    {0x40000u, copyChannelList, applyChannelList, 0, nullptr},
    {0x80000u, copyChannelTables, applyChannelTables, 0, nullptr},
    {0x1000u, copyRecord<QX_NETLINK_STATUS_STRUCT, &ReceiverSession::Get_NetLink_Status>,
     store<QX_NETLINK_STATUS_STRUCT, &DeviceCache::netLinkStatus>, 8, nullptr},
    {0x800u, copyRecord<QX_NETLINK_SERVER_TYPE_ENUM, &ReceiverSession::Get_NetLink_Server_Type>,
     store<int, &DeviceCache::serverType>, 60, nullptr},
    {0x400u, copyRecord<QX_IP_ADDRESS_STRUCT, &ReceiverSession::Get_NetLink_Address>,
     store<QX_IP_ADDRESS_STRUCT, &DeviceCache::serverAddress>, 61, nullptr},
    {0x8000u, copyRecord<QX_CORS_DATA_SOURCE_STRUCT, &ReceiverSession::Get_NetLink_Data_Source>,
     store<QX_CORS_DATA_SOURCE_STRUCT, &DeviceCache::dataSource>, 62, nullptr},
    {0x10000u, copyRecord<QX_ACCOUNT_STRUCT, &ReceiverSession::Get_NetLink_Account>,
     store<QX_ACCOUNT_STRUCT, &DeviceCache::account>, 63, nullptr},
    {0x4000u, copyResult<unsigned char, &ReceiverSession::Get_NetLink_Auto_Open>,
     [](DeviceManager& m, const CopiedBytes& in) {
         A::cache(m).loginMode = value<unsigned char>(in) != 0 ? 1 : 0;
         return true;
     },
     10, nullptr},
    {0x2000u, copySourcePiece, applySourcePiece, 12, nullptr},
    {0x20000u, copyRecord<QX_DATALINK_MODE_ENUM, &ReceiverSession::Get_DataLink_Mode>,
     store<int, &DeviceCache::dataLinkMode>, 64, nullptr},
};

const AnswerTable kTable = tableOf(kRows);

}  // namespace

const AnswerTable& dataLinkAnswers() {
    return kTable;
}

}  // namespace Varnok
