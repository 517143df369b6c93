// Category 3: masks, differential type, base settings, position, data configuration list and
// the new protocol's base position list.
#include "answer_rows.h"

namespace Varnok {

namespace {

using A = DeviceAnswersAccess;

struct ListHeader {
    double value;
    std::uint32_t limit;
    std::uint32_t count;
};

// The list's vector goes out as its header and then its entries' bytes.
void copyBaseList(ReceiverSession& s, CopiedBytes& out) {
    BASE_POS_LIST_STRUCT list{};
    s.Get_Gnss_Base_Position_list(list);
    const ListHeader header{list.value, list.limit, static_cast<std::uint32_t>(list.list.size())};
    out.resize(sizeof header + list.list.size() * sizeof(BASE_POS_ENTRY));
    std::memcpy(out.data(), &header, sizeof header);
    if (!list.list.empty()) {
        std::memcpy(out.data() + sizeof header, list.list.data(),
                    list.list.size() * sizeof(BASE_POS_ENTRY));
    }
}

bool applyBaseList(DeviceManager& m, const CopiedBytes& in) {
    if (in.size() < sizeof(ListHeader)) {
        return false;
    }
    ListHeader header{};
    std::memcpy(&header, in.data(), sizeof header);
    if ((in.size() - sizeof header) / sizeof(BASE_POS_ENTRY) != header.count) {
        return false;
    }
    BASE_POS_LIST_STRUCT list{};
    list.value = header.value;
    list.limit = static_cast<std::uint8_t>(header.limit);
    list.list.resize(header.count);
    if (header.count) {
        std::memcpy(list.list.data(), in.data() + sizeof header,
                    header.count * sizeof(BASE_POS_ENTRY));
    }
    A::basePositions(m).takeAnswer(list);
    return true;
}

void copyBaseSet(ReceiverSession& s, CopiedBytes& out) {
    QX_GNSS_BASE_SET_STRUCT set{};
    s.Get_Gnss_Base_Position(set);
    putBytes(out, set);
}

// Each IO's list is kept apart too: three lists arrive back to back for one query.
bool applyIoList(DeviceManager& m, const CopiedBytes& in) {
    const auto list = takeBytes<QX_DATA_CONFIG_LIST>(in);
    A::cache(m).ioConfigs = list;
    A::takeIoList(m, list);
    return true;
}

const AnswerRow kRows[] = {
    {0x4u, copyResult<int, &ReceiverSession::Get_Gnss_ElevMask>,
     store<unsigned int, &DeviceCache::elevMask>, 23, nullptr},
    {0x1u, copyRecord<QX_GNSS_DIFF_TYPE_ENUM, &ReceiverSession::Get_Gnss_Diff_Type>,
     store<int, &DeviceCache::diffType>, 42, nullptr},
    {0x8u, copyBaseSet, store<QX_GNSS_BASE_SET_STRUCT, &DeviceCache::baseSet>, 43, nullptr},
    {0x2u, copyResult<int, &ReceiverSession::Get_Gnss_Pdop_Mask>,
     store<int, &DeviceCache::pdopMask>, 44, nullptr},
    {0x200u, copyPosition, applyPosition, 34, nullptr},
    {0x40000u, copyRecord<QX_DATA_CONFIG_LIST, &ReceiverSession::Get_Gnss_Data_Configlist>,
     applyIoList, 67, nullptr},
    {0x80000u, copyBaseList, applyBaseList, 68, nullptr},
};

const AnswerTable kTable = tableOf(kRows);

}  // namespace

const AnswerTable& baseSettingsAnswers() {
    return kTable;
}

}  // namespace Varnok
