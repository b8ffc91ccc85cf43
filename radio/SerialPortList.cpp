#include "SerialPortList.h"

#include <QSerialPortInfo>
#include <algorithm>

extern "C" Q_DECL_EXPORT void kvprog_AvailableSerialPorts(std::vector<SerialPortEntry>* ports) {
    ports->clear();
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        ports->push_back({info.systemLocation().toStdString(), info.description().toStdString()});
    }
    std::sort(ports->begin(), ports->end(), [](const SerialPortEntry& a, const SerialPortEntry& b) {
        return a.device < b.device;
    });
}
