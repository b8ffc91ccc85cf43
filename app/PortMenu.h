// The Port menu: COM1 to COM4 with a check mark at the chosen port, below them the serial
// ports present on this machine, listed afresh each time the menu opens, and last the demo
// port, "DEMO (simulated radio)".
#pragma once

class CMainFrame;
class CRadioController;

void ConnectPortMenu(CMainFrame& frame, CRadioController& radio);
