// The Port menu: COM1 to COM4 with a check mark at the chosen port, and below them the
// serial ports present on this machine, listed afresh each time the menu opens.
#pragma once

#include <QString>
#include <vector>

#include "PortNames.h"

class CMainFrame;
class CRadioController;

void ConnectPortMenu(CMainFrame& frame, CRadioController& radio);

// The serial ports present, from the module that lists them (loaded at the first call); none
// when it cannot be loaded. Production Mode offers the same ports.
std::vector<SerialPortEntry> AvailableSerialPorts();
// How a detected port is named to the user: "/dev/ttyUSB0  (FT232R USB UART)".
QString DetectedPortText(const SerialPortEntry& port);
