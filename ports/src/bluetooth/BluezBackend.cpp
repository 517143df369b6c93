// The Bluetooth pieces over libbluetooth: the raw HCI backend (adapter and inquiry, for machines
// where no BlueZ service answers on the system bus), SDP for the serial-port channel, RFCOMM
// stream sockets, and RFCOMM TTYs ("/dev/rfcomm<n>") for a process that holds CAP_NET_ADMIN.
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <bluetooth/bluetooth.h>
#include <bluetooth/hci.h>
#include <bluetooth/hci_lib.h>
#include <bluetooth/rfcomm.h>
#include <bluetooth/sdp.h>
#include <bluetooth/sdp_lib.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <mutex>
#include <vector>

#include "../SocketHelpers.h"
#include "BVComm/BluetoothBackend.h"
#include "BVComm/DescriptorGate.h"
#include "BVComm/WinsockErrors.h"
#include "Backends.h"
#include "BluezAddress.h"

namespace Brevan2011 {
namespace BVComm {

namespace {

constexpr int kInquiryLength = 8;  // units of 1.28 s
constexpr int kMaxResponses = 255;
constexpr int kNameTimeoutMs = 5000;
constexpr int kNoAdapterCode = 10050;
constexpr int kAccessCode = 10013;
constexpr std::uint8_t kDefaultChannel = 1;

std::uint64_t toAddress(const bdaddr_t& a) {
    return AddressFromBytes(a.b);
}

bdaddr_t fromAddress(std::uint64_t value) {
    bdaddr_t a{};
    AddressToBytes(value, a.b);
    return a;
}

struct Adapter {
    BluetoothAdapterState state = BluetoothAdapterState::None;
    int devId = -1;
};

Adapter findAdapter() {
    Adapter adapter;
    const int up = ::hci_get_route(nullptr);
    if (up >= 0) {
        adapter.state = BluetoothAdapterState::Up;
        adapter.devId = up;
        return adapter;
    }
    // The route names only adapters that are up; any other one is down.
    const int ctl = ::socket(AF_BLUETOOTH, SOCK_RAW | SOCK_CLOEXEC, BTPROTO_HCI);
    if (ctl < 0) {
        return adapter;
    }
    std::vector<char> buffer(sizeof(hci_dev_list_req) + HCI_MAX_DEV * sizeof(hci_dev_req));
    auto* list = reinterpret_cast<hci_dev_list_req*>(buffer.data());
    list->dev_num = HCI_MAX_DEV;
    if (::ioctl(ctl, HCIGETDEVLIST, list) == 0 && list->dev_num > 0) {
        adapter.state = BluetoothAdapterState::Down;
        adapter.devId = list->dev_req[0].dev_id;
    }
    ::close(ctl);
    return adapter;
}

// The RFCOMM channel that the remote's SDP record of serviceClass names, or channel 1.
std::uint8_t findChannel(const bdaddr_t& remote, const GUID& serviceClass) {
    bdaddr_t any{};
    sdp_session_t* session = ::sdp_connect(&any, &remote, SDP_RETRY_IF_BUSY);
    if (session == nullptr) {
        return kDefaultChannel;
    }
    std::uint8_t bytes[16];
    bytes[0] = static_cast<std::uint8_t>(serviceClass.Data1 >> 24);
    bytes[1] = static_cast<std::uint8_t>(serviceClass.Data1 >> 16);
    bytes[2] = static_cast<std::uint8_t>(serviceClass.Data1 >> 8);
    bytes[3] = static_cast<std::uint8_t>(serviceClass.Data1);
    bytes[4] = static_cast<std::uint8_t>(serviceClass.Data2 >> 8);
    bytes[5] = static_cast<std::uint8_t>(serviceClass.Data2);
    bytes[6] = static_cast<std::uint8_t>(serviceClass.Data3 >> 8);
    bytes[7] = static_cast<std::uint8_t>(serviceClass.Data3);
    std::memcpy(bytes + 8, serviceClass.Data4, 8);
    uuid_t uuid;
    ::sdp_uuid128_create(&uuid, bytes);
    ::sdp_uuid128_to_uuid(&uuid);  // the short form when it is one of the base UUIDs

    std::uint32_t range = 0x0000FFFF;
    sdp_list_t* search = ::sdp_list_append(nullptr, &uuid);
    sdp_list_t* attributes = ::sdp_list_append(nullptr, &range);
    sdp_list_t* records = nullptr;
    std::uint8_t channel = kDefaultChannel;
    bool found = false;
    if (::sdp_service_search_attr_req(session, search, SDP_ATTR_REQ_RANGE, attributes, &records) ==
        0) {
        for (sdp_list_t* r = records; r != nullptr; r = r->next) {
            auto* record = static_cast<sdp_record_t*>(r->data);
            sdp_list_t* protocols = nullptr;
            if (!found && ::sdp_get_access_protos(record, &protocols) == 0) {
                const int port = ::sdp_get_proto_port(protocols, RFCOMM_UUID);
                if (port > 0 && port <= 30) {
                    channel = static_cast<std::uint8_t>(port);
                    found = true;
                }
                for (sdp_list_t* p = protocols; p != nullptr; p = p->next) {
                    ::sdp_list_free(static_cast<sdp_list_t*>(p->data), nullptr);
                }
                ::sdp_list_free(protocols, nullptr);
            }
            ::sdp_record_free(record);
        }
        ::sdp_list_free(records, nullptr);
    }
    ::sdp_list_free(search, nullptr);
    ::sdp_list_free(attributes, nullptr);
    ::sdp_close(session);
    return channel;
}

class BluezBackend : public BluetoothBackend {
public:
    BluetoothAdapterState adapterState() override { return findAdapter().state; }
    bool canBindTty() override { return HasNetAdminCapability(); }

    int powerOn() override {
        const Adapter adapter = findAdapter();
        if (adapter.state == BluetoothAdapterState::None) {
            return ENODEV;
        }
        if (adapter.state == BluetoothAdapterState::Up) {
            return 0;
        }
        const int ctl = ::socket(AF_BLUETOOTH, SOCK_RAW | SOCK_CLOEXEC, BTPROTO_HCI);
        if (ctl < 0) {
            return errno;
        }
        int error = 0;
        if (::ioctl(ctl, HCIDEVUP, adapter.devId) < 0 && errno != EALREADY) {
            error = errno;
        }
        ::close(ctl);
        return error;
    }

    int beginLookup() override {
        const Adapter adapter = findAdapter();
        if (adapter.state != BluetoothAdapterState::Up) {
            return kNoAdapterCode;
        }
        const int dd = ::hci_open_dev(adapter.devId);
        if (dd < 0) {
            return (errno == EPERM || errno == EACCES) ? kAccessCode : kNoAdapterCode;
        }
        auto gate = std::make_shared<DescriptorGate>();
        gate->attach(dd);
        std::lock_guard<std::mutex> guard(mutex_);
        if (gate_) {
            gate_->close();
        }
        gate_ = gate;
        devId_ = adapter.devId;
        cancelled_ = false;
        inquired_ = false;
        found_.clear();
        next_ = 0;
        return 0;
    }

    int nextResult(BluetoothLookupResult& result) override {
        std::shared_ptr<DescriptorGate> gate;
        int devId = -1;
        {
            std::lock_guard<std::mutex> guard(mutex_);
            gate = gate_;
            devId = devId_;
        }
        if (!gate || cancelled_) {
            return kLookupCancelled;
        }
        if (!inquired_) {
            inquired_ = true;
            inquiry_info* info = nullptr;
            const int n = ::hci_inquiry(devId, kInquiryLength, kMaxResponses, nullptr, &info,
                                        IREQ_CACHE_FLUSH);
            const int error = errno;
            for (int i = 0; i < n; ++i) {
                found_.push_back(info[i].bdaddr);
            }
            ::bt_free(info);
            if (cancelled_) {
                return kLookupCancelled;
            }
            if (n < 0) {
                return WinsockErrorFromErrno(error);
            }
        }
        // The stop flag is checked between names: each name read is bounded on its own.
        if (next_ >= found_.size()) {
            return kLookupNoMoreResults;
        }
        const bdaddr_t address = found_[next_++];
        char name[HCI_MAX_NAME_LENGTH + 1] = {};
        {
            DescriptorGate::Use use(*gate);
            if (use.fd() < 0) {
                return kLookupCancelled;
            }
            if (::hci_read_remote_name(use.fd(), &address, HCI_MAX_NAME_LENGTH, name,
                                       kNameTimeoutMs) < 0) {
                name[0] = '\0';
            }
        }
        if (cancelled_) {
            return kLookupCancelled;
        }
        result.name.assign(name, ::strnlen(name, HCI_MAX_NAME_LENGTH));
        result.address = toAddress(address);
        result.addressCount = 1;
        return 0;
    }

    void cancelLookup() override {
        cancelled_ = true;
        std::shared_ptr<DescriptorGate> gate;
        {
            std::lock_guard<std::mutex> guard(mutex_);
            gate = gate_;
        }
        if (!gate) {
            return;
        }
        // Inquiry Cancel makes a running inquiry return at once.
        DescriptorGate::Use use(*gate);
        if (use.fd() >= 0) {
            ::hci_send_cmd(use.fd(), OGF_LINK_CTL, OCF_INQUIRY_CANCEL, 0, nullptr);
        }
    }

    void endLookup() override {
        std::shared_ptr<DescriptorGate> gate;
        {
            std::lock_guard<std::mutex> guard(mutex_);
            gate.swap(gate_);
        }
        if (gate) {
            gate->close();  // the socket closes once a name read in flight has returned
        }
    }

    int bind(unsigned int index, std::uint64_t address, std::uint8_t channel,
             const GUID& serviceClass) override {
        if (index >= RFCOMM_MAX_DEV) {
            return ENODEV;
        }
        const bdaddr_t remote = fromAddress(address);
        if (channel == 254) {
            channel = findChannel(remote, serviceClass);
        }
        const int ctl = ::socket(AF_BLUETOOTH, SOCK_RAW | SOCK_CLOEXEC, BTPROTO_RFCOMM);
        if (ctl < 0) {
            return errno;
        }
        rfcomm_dev_req request{};
        request.dev_id = static_cast<std::int16_t>(index);
        request.flags = 0;
        request.src = bdaddr_t{};
        request.dst = remote;
        request.channel = channel;
        int error = 0;
        if (::ioctl(ctl, RFCOMMCREATEDEV, &request) < 0) {
            error = errno;
        }
        ::close(ctl);
        return error;
    }

    int release(unsigned int index) override {
        if (index >= RFCOMM_MAX_DEV) {
            return ENODEV;
        }
        const int ctl = ::socket(AF_BLUETOOTH, SOCK_RAW | SOCK_CLOEXEC, BTPROTO_RFCOMM);
        if (ctl < 0) {
            return errno;
        }
        rfcomm_dev_req request{};
        request.dev_id = static_cast<std::int16_t>(index);
        request.flags = 1u << RFCOMM_HANGUP_NOW;
        int error = 0;
        if (::ioctl(ctl, RFCOMMRELEASEDEV, &request) < 0) {
            error = errno;
        }
        ::close(ctl);
        return error;
    }

private:
    std::mutex mutex_;  // guards gate_ and devId_
    std::shared_ptr<DescriptorGate> gate_;
    int devId_ = -1;
    std::atomic<bool> cancelled_{false};
    // Touched only by the searching thread.
    bool inquired_ = false;
    std::vector<bdaddr_t> found_;
    std::size_t next_ = 0;
};

}  // namespace

std::unique_ptr<BluetoothBackend> MakeHciBluetoothBackend() {
    return std::make_unique<BluezBackend>();
}

const char* HciBackendName() {
    return "HCI";
}

std::uint8_t FindSerialPortChannel(std::uint64_t address) {
    GUID serialPort;
    serialPort.Data1 = 0x00001101;
    serialPort.Data3 = 0x1000;
    const std::uint8_t tail[8] = {0x80, 0x00, 0x00, 0x80, 0x5F, 0x9B, 0x34, 0xFB};
    std::memcpy(serialPort.Data4, tail, sizeof tail);
    return findChannel(fromAddress(address), serialPort);
}

int OpenRfcommSocket(std::uint64_t address, std::uint8_t channel, int timeoutMs, int* error) {
    const int fd = ::socket(AF_BLUETOOTH, SOCK_STREAM | SOCK_CLOEXEC, BTPROTO_RFCOMM);
    if (fd < 0) {
        *error = errno;
        return -1;
    }
    sockaddr_rc remote{};
    remote.rc_family = AF_BLUETOOTH;
    remote.rc_bdaddr = fromAddress(address);
    remote.rc_channel = channel;
    const int rc =
        connectWithin(fd, reinterpret_cast<const sockaddr*>(&remote), sizeof remote, timeoutMs);
    if (rc != 0) {
        ::close(fd);
        *error = rc;
        return -1;
    }
    return fd;
}

}  // namespace BVComm
}  // namespace Brevan2011
