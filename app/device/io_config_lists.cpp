// The new protocol's data configuration lists, kept per IO.
#include "device_manager.h"
#include "record_view.h"

namespace Varnok {

int DeviceManager::ioListIndex(int ioId) {
    switch (ioId) {
        case 0:
            return 3;
        case 1:
            return 0;
        case 5:
            return 1;
        case 6:
            return 2;
        default:
            return -1;
    }
}

void DeviceManager::clearIoLists() {
    for (IoListSlot& slot : ioLists_) {
        slot = IoListSlot();
    }
}

void DeviceManager::clearIoList(int ioId) {
    const int i = ioListIndex(ioId);
    if (i >= 0) {
        ioLists_[i] = IoListSlot();
    }
}

void DeviceManager::takeIoList(const QX_DATA_CONFIG_LIST& list) {
    const int i = ioListIndex(DataConfigList::ioId(list));
    if (i >= 0) {
        ioLists_[i].fresh = true;
        ioLists_[i].list = list;
    }
}

bool DeviceManager::ioConfigs(int ioId, QX_DATA_CONFIG_LIST& out) const {
    const int i = ioListIndex(ioId);
    if (i < 0 || !ioLists_[i].fresh) {
        return false;
    }
    out = ioLists_[i].list;
    return true;
}

}  // namespace Varnok
